#pragma once

#include <QString>
#include <QStringList>

namespace zelvo::sms {

// A message too long for one SMS goes, when the user asks for it, as numbered parts: each its
// own mail to the same numbers, "(1/3)" and as much of the text as the send check lets one
// message hold.
inline constexpr int MaxMessageParts = 10;

struct MessageParts {
    // The parts in order; the message alone, unnumbered, when it fits one SMS; none when it
    // needs more than MaxMessageParts.
    QStringList parts;
    // How many characters the last part may still take, as charactersLeft counts them; below
    // zero, by how many the message is longer than MaxMessageParts can hold.
    int left = 0;
};

// Cuts the message where a part is full, but never between the halves of a character written
// as two code units, nor between the CR and the LF of a line break.
MessageParts splitMessage(const QString& message);

// The most the message field takes when the message may go in parts: MaxMessageParts full parts.
int longestSplitMessage();

// What became of a message in `total` parts when the first `sent` went and the next failed:
// "已发送第 1 条, 第 2 至 3 条没有发送。"
QString partsOutcome(int sent, int total);

// What the record says of a part left unsent after part `failed` failed.
QString partNotSent(int failed);

}  // namespace zelvo::sms
