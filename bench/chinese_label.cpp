// Floor of the start-up figure: the least a Qt Widgets program does to show Chinese text, the
// first load of a CJK font included.
#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("短信发送器"));
    window.resize(433, 501);
    window.show();
    return app.exec();
}
