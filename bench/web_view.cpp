// Floor of the memory figures: the least a program does to show a local page in Qt WebEngine.
#include <QApplication>
#include <QUrl>
#include <QWebEngineView>

int main(int argc, char* argv[]) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QWebEngineView view;
    view.resize(417, 441);
    view.setUrl(QUrl(QStringLiteral("qrc:/bench/notices.html")));
    view.show();
    return app.exec();
}
