#include "PrintTestSupport.h"

#include <QByteArray>
#include <QFile>

#include <cstdio>
#include <cstring>

namespace printtest {

namespace {

int IntAfter(const QByteArray& dict, const char* key)
{
    const qsizetype at = dict.indexOf(key);
    int value = 0;
    return at >= 0 && std::sscanf(dict.constData() + at + std::strlen(key), " %d", &value) == 1 ? value : 0;
}

// The picture of an image object's stream: JPEG (DCT) or deflated RGB.
QImage DecodeImage(const QByteArray& dict, const QByteArray& data)
{
    const int width = IntAfter(dict, "/Width");
    const int height = IntAfter(dict, "/Height");
    if (dict.contains("/DCTDecode"))
        return QImage::fromData(data, "JPEG");
    if (!dict.contains("/FlateDecode") || !dict.contains("/DeviceRGB") || width <= 0 || height <= 0)
        return QImage();
    const qsizetype size = qsizetype(width) * height * 3;
    QByteArray sized(4, '\0');
    for (int i = 0; i < 4; ++i)
        sized[i] = static_cast<char>((size >> (24 - 8 * i)) & 0xFF);
    const QByteArray rgb = qUncompress(sized + data);
    if (rgb.size() != size)
        return QImage();
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y)
        std::memcpy(image.scanLine(y), rgb.constData() + qsizetype(y) * width * 3, size_t(width) * 3);
    return image;
}

}  // namespace

qlafx::PrinterChoice PdfPrinter(const std::string& file, short paper, int dpi)
{
    qlafx::PrinterChoice choice;
    choice.pdfFile = file;
    choice.paperSize = paper;
    choice.dpi = dpi;
    return choice;
}

PdfContents ReadPdf(const std::string& path)
{
    PdfContents out;
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return out;
    const QByteArray pdf = file.readAll();
    if (!pdf.startsWith("%PDF-"))
        return out;
    for (qsizetype at = pdf.indexOf("/Type /Page"); at >= 0; at = pdf.indexOf("/Type /Page", at + 1))
        if (at + 11 < pdf.size() && pdf[at + 11] != 's')
            ++out.pages;
    for (qsizetype at = pdf.indexOf("/Subtype /Image"); at >= 0; at = pdf.indexOf("/Subtype /Image", at + 1)) {
        const qsizetype dictStart = pdf.lastIndexOf("<<", at);
        const qsizetype streamAt = pdf.indexOf("stream\n", at);
        const qsizetype endAt = pdf.indexOf("\nendstream", streamAt);
        if (dictStart < 0 || streamAt < 0 || endAt < 0)
            break;
        const QByteArray dict = pdf.mid(dictStart, streamAt - dictStart);
        const qsizetype dataAt = streamAt + 7;
        out.images.push_back(DecodeImage(dict, pdf.mid(dataAt, endAt - dataAt)));
    }
    return out;
}

}  // namespace printtest
