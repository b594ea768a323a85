#include "Gdi.h"

#include "CodePage.h"
#include "GdiInternal.h"
#include "Window.h"

#include <QFontMetrics>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace ModAPI {
namespace {

struct Bitmap {
  QImage image;
  HDC selectedInto;
};

struct DeviceContext {
  HBITMAP bitmap;  // 0 for the display context and window contexts
  quint32 textColour = 0;
  int bkMode = OPAQUE;
  HWND window;            // a window context
  bool painting = false;  // made by BeginPaint inside the window's paint event
};

// The handle tables. Everything runs on the user-interface thread.
template <typename H, typename T>
struct Table {
  std::unordered_map<quint32, T> objects;
  quint32 next = 2;  // 1 is kept for the stock bitmap

  H add(T object) {
    const H handle{next++};
    objects.emplace(handle.value, std::move(object));
    return handle;
  }
  T* find(H handle) {
    const auto it = objects.find(handle.value);
    return it == objects.end() ? nullptr : &it->second;
  }
};

Table<HDC, DeviceContext>& Contexts() {
  static Table<HDC, DeviceContext> table;
  return table;
}
Table<HBITMAP, Bitmap>& Bitmaps() {
  static Table<HBITMAP, Bitmap> table;
  return table;
}
Table<HRGN, QRegion>& Regions() {
  static Table<HRGN, QRegion> table;
  return table;
}

constexpr HBITMAP kStockBitmap{1};
constexpr QImage::Format kDisplayFormat = QImage::Format_RGB32;

quint64& WindowCopies() {
  static quint64 copies = 0;
  return copies;
}

std::unordered_map<quint32, QImage>& Screens() {
  static std::unordered_map<quint32, QImage> screens;
  return screens;
}

// What each window shows, as last copied to it from outside its paint event.
// The entry goes with its window.
QImage* ScreenOf(HWND window) {
  QWidget* widget = WindowWidget(window);
  if (!widget) return nullptr;
  const auto [entry, made] = Screens().try_emplace(window.value);
  if (made) {
    QObject::connect(widget, &QObject::destroyed, [window] { Screens().erase(window.value); });
  }
  QImage& screen = entry->second;
  if (screen.size() != widget->size()) {
    screen = QImage(widget->size(), kDisplayFormat);
    screen.fill(Qt::black);
  }
  return &screen;
}

QImage* ImageOf(HDC dc) {
  const DeviceContext* context = Contexts().find(dc);
  if (context && context->window) return ScreenOf(context->window);
  Bitmap* bitmap = context ? Bitmaps().find(context->bitmap) : nullptr;
  return bitmap ? &bitmap->image : nullptr;
}

// Where a context draws. A window context also names the window that shows
// the result.
struct Canvas {
  QPaintDevice* device = nullptr;
  QWidget* window = nullptr;
};

Canvas CanvasOf(HDC dc) {
  const DeviceContext* context = Contexts().find(dc);
  if (!context) return {};
  QWidget* window = WindowWidget(context->window);
  if (context->painting) return {window, window};
  return {ImageOf(dc), window};
}

// A window shows what was drawn on its context: at once during its paint
// event, otherwise at its next repaint.
void Shown(const Canvas& canvas, const QRect& area, bool painting) {
  if (!canvas.window) return;
  ++WindowCopies();
  if (!painting) canvas.window->update(area);
}

QColor ColourOf(quint32 colour) {
  return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

// Coordinates far outside any surface are pulled in, so that no sum of them
// overflows; what they describe lies off the surface either way.
int Bounded(qint64 value) {
  return int(std::clamp<qint64>(value, -(1 << 24), 1 << 24));
}

// The rectangle from (x, y) to (x + width, y + height), right and bottom
// exclusive, whichever way the sizes point.
QRect NormalRect(int x, int y, int width, int height) {
  const qint64 x2 = qint64(x) + width;
  const qint64 y2 = qint64(y) + height;
  return QRect(QPoint(Bounded(std::min<qint64>(x, x2)), Bounded(std::min<qint64>(y, y2))),
               QPoint(Bounded(std::max<qint64>(x, x2)) - 1, Bounded(std::max<qint64>(y, y2)) - 1));
}

// The part of `target` that the part `inside` of the source rectangle `from`
// is scaled onto, mirrored along the axes that are flipped.
QRectF MappedPart(QRect target, QRect from, QRect inside, bool flipX, bool flipY) {
  const qreal scaleX = qreal(target.width()) / from.width();
  const qreal scaleY = qreal(target.height()) / from.height();
  const int skipX = flipX ? from.right() - inside.right() : inside.left() - from.left();
  const int skipY = flipY ? from.bottom() - inside.bottom() : inside.top() - from.top();
  return QRectF(target.left() + skipX * scaleX, target.top() + skipY * scaleY,
                inside.width() * scaleX, inside.height() * scaleY);
}

// Draws the source rectangle scaled onto the destination rectangle, mirrored
// on each axis where exactly one of the two sizes is negative. Only the part
// of the source rectangle that lies on the source bitmap is copied, to the
// part of the destination it maps to; the rest of the destination stays as it
// was. So a source rectangle far larger than its bitmap costs no memory.
int Blend(HDC destination, QRect target, bool flipX, bool flipY, HDC source, QRect from,
          qreal opacity) {
  const Canvas to = CanvasOf(destination);
  const QImage* image = ImageOf(source);
  if (!to.device || !image) return 0;
  const QRect inside = from & image->rect();
  if (target.isEmpty() || inside.isEmpty()) return 1;
  const QRectF part = MappedPart(target, from, inside, flipX, flipY);
  const QImage piece = image->copy(inside).mirrored(flipX, flipY);
  {
    QPainter painter(to.device);
    painter.setCompositionMode(opacity < 1 ? QPainter::CompositionMode_SourceOver
                                           : QPainter::CompositionMode_Source);
    painter.setOpacity(opacity);
    painter.drawImage(part, piece);
  }
  Shown(to, part.toAlignedRect(), to.device == to.window);
  return 1;
}

// Row by row, the pixels whose centres lie inside the corner ellipses.
QRegion RoundRect(QRect box, int ellipseWidth, int ellipseHeight) {
  QRegion region(box.adjusted(0, ellipseHeight / 2, 0, -(ellipseHeight / 2)));
  const double a = ellipseWidth / 2.0;
  const double b = ellipseHeight / 2.0;
  for (int row = 0; row < (ellipseHeight + 1) / 2; ++row) {
    const double dy = (b - (row + 0.5)) / b;
    const int inset = std::max(0, int(std::ceil(a - a * std::sqrt(1 - dy * dy) - 0.5)));
    const int width = box.width() - 2 * inset;
    region += QRect(box.left() + inset, box.top() + row, width, 1);
    region += QRect(box.left() + inset, box.bottom() - row, width, 1);
  }
  return region;
}

}  // namespace

std::optional<QRegion> TakeRegion(HRGN region) {
  const QRegion* found = Regions().find(region);
  if (!found) return std::nullopt;
  const QRegion taken = *found;
  Regions().objects.erase(region.value);
  return taken;
}

HDC CreateDCA(const char* driver, const char*, const char*, const void*) {
  if (!driver || QByteArray(driver) != "DISPLAY") return {};
  return Contexts().add({});
}

HDC CreateCompatibleDC(HDC) {
  DeviceContext context;
  context.bitmap = kStockBitmap;
  return Contexts().add(context);
}

HBITMAP CreateCompatibleBitmap(HDC, int width, int height) {
  if (width < 1 || height < 1) return {};
  QImage image(width, height, kDisplayFormat);
  if (image.isNull()) return {};
  image.fill(Qt::black);
  return Bitmaps().add({image, {}});
}

HBITMAP SelectObject(HDC dc, HBITMAP bitmap) {
  DeviceContext* context = Contexts().find(dc);
  Bitmap* incoming = Bitmaps().find(bitmap);
  if (!context || context->bitmap == HBITMAP{} || (!incoming && bitmap != kStockBitmap)) return {};
  if (incoming && incoming->selectedInto && incoming->selectedInto != dc) return {};
  if (Bitmap* outgoing = Bitmaps().find(context->bitmap)) outgoing->selectedInto = {};
  if (incoming) incoming->selectedInto = dc;
  return std::exchange(context->bitmap, bitmap);
}

HBITMAP GetCurrentBitmap(HDC dc) {
  const DeviceContext* context = Contexts().find(dc);
  return context ? context->bitmap : HBITMAP{};
}

int DeleteObject(HBITMAP bitmap) {
  if (bitmap == kStockBitmap) return 1;
  const Bitmap* found = Bitmaps().find(bitmap);
  if (!found || found->selectedInto) return 0;
  Bitmaps().objects.erase(bitmap.value);
  return 1;
}

int DeleteDC(HDC dc) {
  const DeviceContext* context = Contexts().find(dc);
  if (!context) return 0;
  if (Bitmap* bitmap = Bitmaps().find(context->bitmap)) bitmap->selectedInto = {};
  Contexts().objects.erase(dc.value);
  return 1;
}

int GetObjectA(HBITMAP bitmap, BITMAP* info) {
  const Bitmap* found = Bitmaps().find(bitmap);
  const QSize size = bitmap == kStockBitmap ? QSize(1, 1) : found ? found->image.size() : QSize();
  if (!info || size.isEmpty()) return 0;
  *info = {size.width(), size.height()};
  return int(sizeof(BITMAP));
}

HBITMAP LoadPicture(const QString& path) {
  QImageReader reader(path);
  reader.setDecideFormatFromContent(true);
  const QImage image = reader.read();
  if (image.isNull()) return {};
  return Bitmaps().add({image.convertToFormat(kDisplayFormat), {}});
}

int BitBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX,
           int sourceY, quint32 rop) {
  return StretchBlt(destination, x, y, width, height, source, sourceX, sourceY, width, height, rop);
}

int StretchBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX,
               int sourceY, int sourceWidth, int sourceHeight, quint32 rop) {
  if (rop != SRCCOPY) return 0;
  return Blend(destination, NormalRect(x, y, width, height), (width < 0) != (sourceWidth < 0),
               (height < 0) != (sourceHeight < 0), source,
               NormalRect(sourceX, sourceY, sourceWidth, sourceHeight), 1.0);
}

int AlphaBlend(HDC destination, int x, int y, int width, int height, HDC source, int sourceX,
               int sourceY, int sourceWidth, int sourceHeight, quint32 blendFunction) {
  const QImage* image = ImageOf(source);
  const QRect from = NormalRect(sourceX, sourceY, sourceWidth, sourceHeight);
  if (!image || width < 0 || height < 0 || sourceWidth < 0 || sourceHeight < 0 ||
      !image->rect().contains(from)) {
    return 0;
  }
  const int alpha = int((blendFunction >> 16) & 0xFF);
  return Blend(destination, NormalRect(x, y, width, height), false, false, source, from,
               alpha / 255.0);
}

quint32 GetPixel(HDC dc, int x, int y) {
  const QImage* image = ImageOf(dc);
  if (!image || !image->valid(x, y)) return CLR_INVALID;
  const QRgb pixel = image->pixel(x, y);
  return quint32(qRed(pixel)) | quint32(qGreen(pixel)) << 8 | quint32(qBlue(pixel)) << 16;
}

quint32 SetTextColor(HDC dc, quint32 colour) {
  DeviceContext* context = Contexts().find(dc);
  return context ? std::exchange(context->textColour, colour) : CLR_INVALID;
}

int SetBkMode(HDC dc, int mode) {
  DeviceContext* context = Contexts().find(dc);
  if (!context || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
  return std::exchange(context->bkMode, mode);
}

int DrawTextA(HDC dc, const char* text, int length, RECT* rect, unsigned format) {
  QImage* image = ImageOf(dc);
  if (!image || !text || !rect || Contexts().find(dc)->window) return 0;
  const DeviceContext& context = *Contexts().find(dc);
  const QRect box(QPoint(rect->left, rect->top), QPoint(rect->right - 1, rect->bottom - 1));
  QString line = FromCodePage(CP_ACP, length < 0 ? QByteArray(text) : QByteArray(text, length));
  QPainter painter(image);
  if (format & DT_END_ELLIPSIS)
    line = painter.fontMetrics().elidedText(line, Qt::ElideRight, box.width());
  const int horizontal = (format & DT_CENTER)  ? Qt::AlignHCenter
                         : (format & DT_RIGHT) ? Qt::AlignRight
                                               : Qt::AlignLeft;
  const int vertical = !(format & DT_SINGLELINE) ? Qt::AlignTop
                       : (format & DT_VCENTER)   ? Qt::AlignVCenter
                       : (format & DT_BOTTOM)    ? Qt::AlignBottom
                                                 : Qt::AlignTop;
  const int flags = horizontal | vertical | ((format & DT_SINGLELINE) ? Qt::TextSingleLine : 0);
  const QRect drawn = painter.boundingRect(box, flags, line);
  painter.setClipRect(box);
  if (context.bkMode == OPAQUE) painter.fillRect(drawn, Qt::white);
  painter.setPen(ColourOf(context.textColour));
  painter.drawText(box, flags, line);
  return drawn.bottom() + 1 - box.top();
}

HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int ellipseWidth,
                        int ellipseHeight) {
  // The region leaves out the right column and the bottom row of the box.
  const QRect box = QRect(QPoint(std::min(left, right), std::min(top, bottom)),
                          QPoint(std::max(left, right) - 2, std::max(top, bottom) - 2));
  const int width = std::min(box.width(), std::abs(ellipseWidth));
  const int height = std::min(box.height(), std::abs(ellipseHeight));
  if (width < 2 || height < 2) return Regions().add(QRegion(box));
  return Regions().add(RoundRect(box, width, height));
}

GdiObjectCounts LiveGdiObjects() {
  return {int(Contexts().objects.size()), int(Bitmaps().objects.size()), int(Screens().size())};
}

HDC GetDC(HWND window) {
  if (!WindowWidget(window)) return {};
  DeviceContext context;
  context.window = window;
  return Contexts().add(context);
}

int ReleaseDC(HWND, HDC dc) {
  return DeleteDC(dc);
}

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
  const QWidget* widget = WindowWidget(window);
  if (!widget || !paint) return {};
  DeviceContext context;
  context.window = window;
  context.painting = widget->testAttribute(Qt::WA_WState_InPaintEvent);
  paint->hdc = Contexts().add(context);
  paint->rcPaint = {0, 0, widget->width(), widget->height()};
  return paint->hdc;
}

int EndPaint(HWND, const PAINTSTRUCT* paint) {
  return paint ? DeleteDC(paint->hdc) : 0;
}

quint64 WindowCopyCount() {
  return WindowCopies();
}

int GetTextExtentPoint32W(HDC dc, const QString& text, int length, SIZE* size) {
  QImage* image = ImageOf(dc);
  if (!image || !size || length < 0) return 0;
  const QFontMetrics metrics = QPainter(image).fontMetrics();
  *size = {metrics.horizontalAdvance(text.left(length)), metrics.height()};
  return 1;
}

int DrawIconEx(HDC dc, int x, int y, HICON icon, int width, int height, unsigned, const void*,
               unsigned) {
  const Canvas canvas = CanvasOf(dc);
  const QIcon picture = IconOf(icon);
  if (!canvas.device || picture.isNull()) return 0;
  const QRect target(x, y, width, height);
  {
    QPainter painter(canvas.device);
    painter.drawPixmap(target, picture.pixmap(target.size()));
  }
  Shown(canvas, target, canvas.device == canvas.window);
  return 1;
}

}  // namespace ModAPI
