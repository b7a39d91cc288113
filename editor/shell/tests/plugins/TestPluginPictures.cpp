// Writes the test paint tool's pictures: icon 128 and bitmap 140, ids the
// program has pictures of too, in colours the program's never are.
#include <QColor>
#include <QDir>
#include <QImage>

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    const QString root = QString::fromLocal8Bit(argv[1]);
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(QColor(255, 0, 255));
    QImage bitmap(8, 4, QImage::Format_RGB32);
    bitmap.fill(QColor(0, 255, 0));
    return QDir().mkpath(root + "/icon") && QDir().mkpath(root + "/bitmap") &&
                   icon.save(root + "/icon/128.png") && bitmap.save(root + "/bitmap/140.png")
               ? 0
               : 1;
}
