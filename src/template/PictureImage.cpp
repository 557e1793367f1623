#include "template/PictureImage.h"

#include <QByteArray>
#include <csetjmp>
#include <cstdio>
#include <functional>
#include <list>
#include <mutex>

#include <jpeglib.h>

namespace mirel::tmpl {
namespace {

// libjpeg reports fatal errors through error_exit, which must not return:
// it jumps back to the decoder, which then gives up on the image.
struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void onJpegError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}

void onJpegMessage(j_common_ptr) {}   // warnings of damaged but readable data stay quiet

// The decoding itself, kept free of objects with destructors because of the
// long jump: the image's buffer is allocated up front and handed in.
bool decodeInto(const unsigned char* data, unsigned long size, jpeg_decompress_struct& info, JpegError& error,
                QImage& image) {
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, size);
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    const bool grey = info.jpeg_color_space == JCS_GRAYSCALE;
    info.out_color_space = cmyk ? JCS_CMYK : grey ? JCS_GRAYSCALE : JCS_EXT_BGRX;
    jpeg_calc_output_dimensions(&info);
    const long long pixels = static_cast<long long>(info.output_width) * info.output_height;
    if (info.output_width == 0 || info.output_height == 0 || pixels > kMaxPicturePixels) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                   grey ? QImage::Format_Grayscale8 : QImage::Format_RGB32);
    if (image.isNull()) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_start_decompress(&info);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
        if (cmyk) {
            // Four bytes C, M, Y, K in place; Adobe writes them inverted, as
            // nearly every CMYK JPEG does, so white is 255 in all four.
            auto* px = reinterpret_cast<QRgb*>(row);
            const unsigned char* in = row;
            const bool inverted = info.saw_Adobe_marker;
            for (JDIMENSION x = 0; x < info.output_width; ++x, in += 4) {
                int c = in[0], m = in[1], y = in[2], k = in[3];
                if (!inverted) {
                    c = 255 - c;
                    m = 255 - m;
                    y = 255 - y;
                    k = 255 - k;
                }
                px[x] = qRgb(c * k / 255, m * k / 255, y * k / 255);
            }
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

struct CachedImage {
    std::uint8_t kind;
    std::string graphic;
    QImage image;
};

constexpr size_t kCachedImages = 16;

QImage decode(std::uint8_t kind, const std::string& graphic) {
    const QByteArray data = QByteArray::fromRawData(graphic.data(), static_cast<qsizetype>(graphic.size()));
    QImage image;
    switch (kind) {
    case gkJpeg: image = decodeJpeg(graphic); break;
    case gkBitmap: image.loadFromData(data, "BMP"); break;
    case gkIcon: image.loadFromData(data, "ICO"); break;
    default: return {};
    }
    // A graphic stored under another kind than its own is still drawn.
    if (image.isNull() && graphic.size() > 2 && graphic[0] == '\xFF' && graphic[1] == '\xD8')
        image = decodeJpeg(graphic);
    else if (image.isNull())
        image.loadFromData(data);
    if (static_cast<long long>(image.width()) * image.height() > kMaxPicturePixels)
        return {};
    return image;
}

} // namespace

QImage decodeJpeg(std::string_view bytes) {
    if (bytes.size() < 4)
        return {};
    jpeg_decompress_struct info{};
    JpegError error{};
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = onJpegError;
    error.manager.output_message = onJpegMessage;
    QImage image;
    if (!decodeInto(reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()), info,
                    error, image))
        return {};
    return image;
}

QImage pictureImage(std::uint8_t kind, const std::string& graphic) {
    if (graphic.empty() || kind == gkNone || kind == gkMetafile)
        return {};
    static std::mutex mutex;
    static std::list<CachedImage> cache;   // most recently used first
    {
        const std::lock_guard<std::mutex> lock(mutex);
        for (auto it = cache.begin(); it != cache.end(); ++it) {
            if (it->kind == kind && it->graphic == graphic) {
                cache.splice(cache.begin(), cache, it);
                return cache.front().image;
            }
        }
    }
    QImage image = decode(kind, graphic);
    const std::lock_guard<std::mutex> lock(mutex);
    cache.push_front({kind, graphic, image});
    if (cache.size() > kCachedImages)
        cache.pop_back();
    return image;
}

} // namespace mirel::tmpl
