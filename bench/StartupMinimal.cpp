// The floor of the start-up benchmark: a minimal Qt Widgets window, a menu bar and a painted
// child, that ends once the child has painted for the first time and the display has it.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QTimer>
#include <QWidget>

namespace {

class CPainted : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("painted"));
        if (!m_bPainted) {
            m_bPainted = true;
            QTimer::singleShot(0, qApp, [] {
                QGuiApplication::sync();
                QCoreApplication::exit(0);
            });
        }
    }

private:
    bool m_bPainted = false;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.menuBar()->addMenu(QStringLiteral("File"))->addAction(QStringLiteral("Quit"));
    window.setCentralWidget(new CPainted);
    window.resize(1024, 768);
    window.show();
    return QApplication::exec();
}
