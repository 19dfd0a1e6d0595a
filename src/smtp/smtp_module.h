#pragma once

// The one entry point of the SMTP module: a zelvo::sms::SubmitMailFunction that submits with
// libcurl and throws zelvo::sms::MailError, exactly as zelvo::sms::submitMail.
inline constexpr const char* kSubmitMailSymbol = "zelvoSubmitMail";
inline constexpr const char* kSmtpModuleName = "zelvo_smtp";
