#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QListView>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/crlf_text_edit.h"
#include "app/main_window.h"
#include "app/notices_page.h"
#include "app/number_list_view.h"
#include "app/sending_page.h"
#include "support/scripted_desktop.h"
#include "support/test_files.h"

namespace zelvo::testing {

// Texts the send command shows, and the account the tests type.
inline const QString kSendSucceeded = QStringLiteral("短信发送成功.");
inline const QString kSendFailed = QStringLiteral("短信发送失败,可能是配置信息错误或网络不正常.");
inline const QString kTestAccount = QStringLiteral("13806012345@139.com");

// Addresses that lead nowhere outside this machine.
inline AppConfig testConfig() {
    AppConfig config;
    config.smtpHost = QStringLiteral("127.0.0.1");
    config.smtpPort = 1;  // nothing listens there; send tests put their server's port here
    config.gatewayAddress = QStringLiteral("gateway@139.com");
    config.mailDomainSuffix = QStringLiteral("@139.com");
    config.infoPageUrl = QStringLiteral("about:blank");
    config.homepageUrl = QStringLiteral("http://127.0.0.1:9/home");
    config.feedbackUrl = QStringLiteral("http://127.0.0.1:9/feedback");
    config.registrationUrl = QStringLiteral("http://127.0.0.1:9/register");
    config.contactMail = QStringLiteral("support@example.com");
    return config;
}

// A window on a scripted desktop whose application folder is a fresh temporary folder.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override { reset(); }

    // Starts over in a new empty folder, as for a new test. The members go in the reverse order
    // at the end: the window before the desktop it uses, the folder last.
    void reset(QSize screen = {800, 800}) {
        window.reset();
        desktop.reset();
        folder = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(folder->isValid());
        desktop = std::make_unique<ScriptedDesktop>(folder->path(), screen);
    }

    void open(app::SubmitMail submit = {}) {
        window = std::make_unique<app::MainWindow>(*desktop, config, std::move(submit));
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    QString path(const QString& name) const { return folder->filePath(name); }
    QString settingsPath() const { return path(QStringLiteral("set.ini")); }

    // A control of the window, found by its object name.
    template <typename T = QWidget>
    T* control(const char* name) const {
        T* widget = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void trigger(const char* action) const { control<QAction>(action)->trigger(); }
    auto* numberList() const { return control<app::NumberListView>("numberList"); }
    auto* accountEdit() const { return control<QLineEdit>("accountEdit"); }
    auto* passwordEdit() const { return control<QLineEdit>("passwordEdit"); }
    auto* recipientsEdit() const { return control<app::CrLfTextEdit>("recipientsEdit"); }
    auto* messageEdit() const { return control<app::CrLfTextEdit>("messageEdit"); }
    auto* sendButton() const { return control<QPushButton>("sendButton"); }
    auto* tabs() const { return control<QTabWidget>("tabs"); }
    auto* noticesView() const { return control<app::NoticesPage>("noticesView"); }
    // How many numbers the latest walk over the list accepted, as the send check reads it.
    int selectedCount() const {
        return control<app::SendingPage>("sendingPage")->sendForm().selectedCount;
    }

    // Types text as a user would: Latin characters as key clicks, others as an input method
    // commits them.
    static void type(QWidget* widget, const QString& text) {
        for (const QChar ch : text) {
            QInputMethodEvent commit;
            commit.setCommitString(ch);
            if (ch.unicode() >= 0x20 && ch.unicode() < 0x7F)
                QTest::keyClicks(widget, ch);
            else
                QApplication::sendEvent(widget, &commit);
        }
    }

    // Clicks entry row of the number list as the user would.
    void clickEntry(int row) {
        QListView* list = numberList();
        const QModelIndex index = list->model()->index(row, 0);
        list->scrollTo(index);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
    }

    std::unique_ptr<QTemporaryDir> folder;
    AppConfig config = testConfig();
    std::unique_ptr<ScriptedDesktop> desktop;
    std::unique_ptr<app::MainWindow> window;
};

}  // namespace zelvo::testing
