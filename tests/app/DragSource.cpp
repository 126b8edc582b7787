// A small window that drags the files named on its command line, as a file manager does:
// pressing the mouse on it starts a drag of their text/uri-list. Used with xdotool to drop
// real files on the real program.

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWidget>

namespace {

class DragSource : public QWidget {
public:
    explicit DragSource(QList<QUrl> urls) : urls_(std::move(urls)) {
        setWindowTitle(QStringLiteral("drag source"));
        setFixedSize(100, 100);
    }

protected:
    void mousePressEvent(QMouseEvent*) override {
        auto* data = new QMimeData;
        data->setUrls(urls_);
        auto* drag = new QDrag(this);
        drag->setMimeData(data);
        drag->exec(Qt::CopyAction);
    }

private:
    QList<QUrl> urls_;
};

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QList<QUrl> urls;
    for (const QString& path : QApplication::arguments().mid(1))
        urls << QUrl::fromLocalFile(path);
    DragSource source(urls);
    source.move(600, 400);
    source.show();
    return application.exec();
}
