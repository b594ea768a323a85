#include "Gdi.h"

#include "CodePage.h"
#include "GdiInternal.h"
#include "GdiScale.h"
#include "Window.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace ModAPI {
namespace {

// Every coordinate of the calls is in logical pixels; a bitmap holds its
// pixels at a density of its own (devicePixelRatio of its image), so that a
// surface made for a window of twice the density has twice as many pixels
// each way and draws text, icons and pictures with all of them.
struct Bitmap {
  QImage image;  // at the bitmap's density
  QSize size;    // in logical pixels
  HDC selectedInto;
  // A loaded picture keeps the larger version its folder has, and its parts
  // as scaled for other densities where they were copied, so that each is
  // scaled once. Drawing on the bitmap ends all that.
  bool picture = false;
  std::vector<QImage> larger;
  struct Part {
    QRect inside;
    qint64 density;  // in steps
    QPoint phase;
    QImage pixels;
  };
  std::vector<Part> parts;
  qint64 partPixels = 0;
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
Table<HBITMAP, Bitmap>& bitmaps() {
  static Table<HBITMAP, Bitmap> table;
  return table;
}
Table<HRGN, QRegion>& regions() {
  static Table<HRGN, QRegion> table;
  return table;
}

constexpr HBITMAP kStockBitmap{1};
constexpr QImage::Format kDisplayFormat = QImage::Format_RGB32;

quint64& windowCopies() {
  static quint64 copies = 0;
  return copies;
}

std::unordered_map<quint32, QImage>& Screens() {
  static std::unordered_map<quint32, QImage> screens;
  return screens;
}

// The number of pixels that cover `logical` pixels at `density`; empty when
// the image would be too large to make.
QSize deviceSize(QSize logical, qreal density) {
  const qreal width = std::ceil(logical.width() * density);
  const qreal height = std::ceil(logical.height() * density);
  if (width < 1 || height < 1 || width * height > qreal(1 << 29)) return {};
  return QSize(int(width), int(height));
}

// A black image of `logical` pixels at `density`; null when too large.
QImage blankImage(QSize logical, qreal density) {
  const QSize size = deviceSize(logical, density);
  if (size.isEmpty()) return {};
  QImage image(size, kDisplayFormat);
  if (image.isNull()) return {};
  image.setDevicePixelRatio(density);
  image.fill(Qt::black);
  return image;
}

// The density of the display's own context: the highest of all screens.
qreal displayDensity() {
  return qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
}

// Where a context draws or is copied from: the bitmap selected into a memory
// context, or the copy of what a window shows for a window context.
struct Pixels {
  QImage* image = nullptr;
  QSize size;                // in logical pixels
  Bitmap* bitmap = nullptr;  // null for a window's copy
};

// What each window shows, as last copied to it from outside its paint event,
// at the window's density. The entry goes with its window.
Pixels screenOf(HWND window) {
  QWidget* widget = WindowWidget(window);
  if (!widget) return {};
  const auto [entry, made] = Screens().try_emplace(window.value);
  if (made) {
    QObject::connect(widget, &QObject::destroyed, [window] { Screens().erase(window.value); });
  }
  QImage& screen = entry->second;
  const qreal density = widget->devicePixelRatioF();
  if (screen.size() != deviceSize(widget->size(), density) ||
      screen.devicePixelRatio() != density) {
    screen = blankImage(widget->size(), density);
  }
  return {screen.isNull() ? nullptr : &screen, widget->size()};
}

Pixels pixelsOf(HDC dc) {
  const DeviceContext* context = Contexts().find(dc);
  if (context && context->window) return screenOf(context->window);
  Bitmap* bitmap = context ? bitmaps().find(context->bitmap) : nullptr;
  if (!bitmap) return {};
  return {&bitmap->image, bitmap->size, bitmap};
}

// What is drawn on a bitmap replaces the picture it held at every density.
Pixels drawnOn(Pixels pixels) {
  if (pixels.bitmap) {
    pixels.bitmap->picture = false;
    pixels.bitmap->larger.clear();
    pixels.bitmap->parts.clear();
    pixels.bitmap->partPixels = 0;
  }
  return pixels;
}

// Where a context draws. A window context also names the window that shows
// the result.
struct Canvas {
  QPaintDevice* device = nullptr;
  QWidget* window = nullptr;
};

Canvas canvasOf(HDC dc) {
  const DeviceContext* context = Contexts().find(dc);
  if (!context) return {};
  QWidget* window = WindowWidget(context->window);
  if (context->painting) return {window, window};
  return {drawnOn(pixelsOf(dc)).image, window};
}

// The density of the pixels a context draws into; for the display's own
// context and a memory context with the stock bitmap, the display's.
qreal densityOf(HDC dc) {
  const DeviceContext* context = Contexts().find(dc);
  if (!context) return 1.0;
  if (const QWidget* window = WindowWidget(context->window)) return window->devicePixelRatioF();
  const Bitmap* bitmap = bitmaps().find(context->bitmap);
  return bitmap ? bitmap->image.devicePixelRatio() : displayDensity();
}

// A density in steps of 1/kDensitySteps.
qint64 Steps(qreal density) {
  return std::llround(density * kDensitySteps);
}

// The pixel edge where a logical coordinate falls at `density`, rounded as
// the painter rounds the edges of what it draws.
int deviceEdge(qreal logical, qreal density) {
  return qRound(logical * density);
}

// The loaded version of a picture at `density`, null when there is none.
const QImage* versionAt(const Bitmap& bitmap, qreal density) {
  if (Steps(bitmap.image.devicePixelRatio()) == Steps(density)) return &bitmap.image;
  for (const QImage& version : bitmap.larger) {
    if (Steps(version.devicePixelRatio()) == Steps(density)) return &version;
  }
  return nullptr;
}

// The part `inside` (logical pixels) of a picture scaled to `density`, its
// pixel k covering the part from (k + phase / kDensitySteps) / density on: a
// negative phase puts the first pixel partly before the part, where it
// averages only what it covers, as the last one does past the part's end. So
// a part never takes colour from beside it in the picture (the next glyph of
// a sprite sheet). Scaled by area from the loaded version that needs the least
// enlargement (the largest when every version is smaller), once for each
// part, density and phase; the parts kept are dropped together when they hold
// more than eight times the picture's pixels at that density.
const QImage& partAt(Bitmap& bitmap, QRect inside, qreal density, QPoint phase) {
  const qint64 steps = Steps(density);
  for (const Bitmap::Part& part : bitmap.parts) {
    if (part.inside == inside && part.density == steps && part.phase == phase) return part.pixels;
  }
  const QImage* from = &bitmap.image;
  for (const QImage& version : bitmap.larger) {
    const qreal best = from->devicePixelRatio();
    const qreal other = version.devicePixelRatio();
    if (best < density ? other > best : other >= density && other < best) from = &version;
  }
  const int fileScale = qRound(from->devicePixelRatio());
  const QImage scaled =
      ScaledByArea(from->copy(QRect(inside.topLeft() * fileScale, inside.size() * fileScale)),
                   steps * kDensitySteps / Steps(from->devicePixelRatio()), phase);
  const qint64 budget = 8 * qint64(bitmap.size.width()) * bitmap.size.height() * steps * steps /
                        kDensitySteps / kDensitySteps;
  if (bitmap.partPixels > budget) {
    bitmap.parts.clear();
    bitmap.partPixels = 0;
  }
  bitmap.partPixels += qint64(scaled.width()) * scaled.height();
  bitmap.parts.push_back({inside, steps, phase, scaled});
  return bitmap.parts.back().pixels;
}

// One axis of a copy: the source pixels taken (`count` of them from
// `first`) and the destination's pixel coordinates they cover.
struct AxisCopy {
  int first;
  int count;
  qreal to;
  qreal toEnd;
};

qint64 floorDiv(qint64 value, qint64 divisor) {
  return value / divisor - (value % divisor < 0 ? 1 : 0);
}

// An axis of a copy that is neither scaled nor mirrored, between pixels of
// the same density: whole source pixels onto whole destination pixels, those
// that cover the logical destination `to`.. (`length` long), taken from the
// source's pixels that lie under them when the source's logical `from` lies
// on `to`. `phase` receives how far (in steps) the source's pixel grid lies
// off the destination's.
AxisCopy alignedAxis(int from, int length, int to, qreal density, qint64* phase) {
  const int toFirst = deviceEdge(to, density);
  const int toEnd = deviceEdge(to + length, density);
  const qint64 offset = qint64(from - to) * Steps(density);
  const qint64 whole = floorDiv(offset, kDensitySteps);
  if (phase) *phase = offset - whole * kDensitySteps;
  return {toFirst + int(whole), toEnd - toFirst, qreal(toFirst), qreal(toEnd)};
}

// An axis that the painter scales: the source's pixels that cover `from`..
// at `sourceDensity` go onto where `to`.. (`toLength` long) falls.
AxisCopy scaledAxis(int from, int length, qreal to, qreal toLength, qreal sourceDensity,
                    qreal density) {
  const int first = deviceEdge(from, sourceDensity);
  return {first, deviceEdge(from + length, sourceDensity) - first, to * density,
          (to + toLength) * density};
}

// The pixels of `source` for its part `inside`, and where on a canvas of
// `density` they go (in the canvas's own pixels). A drawing surface, or a
// picture with a version at the canvas's density, gives its pixels as they
// are; any other picture gives the part scaled by area for that density and
// for the place it goes to, so that it is scaled smoothly and once.
std::pair<QImage, QRectF> pieceOf(const Pixels& source, QRect inside, QRectF part, bool flipX,
                                  bool flipY, qreal density) {
  Bitmap* picture = source.bitmap && source.bitmap->picture ? source.bitmap : nullptr;
  const QImage* version = picture ? versionAt(*picture, density) : source.image;
  const auto axis = [&](int from, int length, qreal to, qreal toLength, bool mirrored,
                        qreal sourceDensity, qint64* phase) {
    if (mirrored || toLength != length || Steps(sourceDensity) != Steps(density))
      return scaledAxis(from, length, to, toLength, sourceDensity, density);
    return alignedAxis(from, length, qRound(to), density, phase);
  };
  const QImage* pixels = version;
  AxisCopy x, y;
  if (version) {
    const qreal own = version->devicePixelRatio();
    x = axis(inside.left(), inside.width(), part.left(), part.width(), flipX, own, nullptr);
    y = axis(inside.top(), inside.height(), part.top(), part.height(), flipY, own, nullptr);
  } else {
    // The part's pixels start at its own edge: the aligned axes start at 0
    // with the phase of where the part's edge falls on the canvas.
    qint64 phaseX = 0, phaseY = 0;
    x = axis(0, inside.width(), part.left(), part.width(), flipX, density, &phaseX);
    y = axis(0, inside.height(), part.top(), part.height(), flipY, density, &phaseY);
    const QPoint phase(int(x.first * kDensitySteps + phaseX),
                       int(y.first * kDensitySteps + phaseY));
    x.first = y.first = 0;
    pixels = &partAt(*picture, inside, density, phase);
  }
  // Rounding may reach one pixel past a surface's edge: the span moves in.
  const int left = std::clamp(x.first, 0, std::max(0, pixels->width() - x.count));
  const int top = std::clamp(y.first, 0, std::max(0, pixels->height() - y.count));
  return {pixels->copy(left, top, x.count, y.count).mirrored(flipX, flipY),
          QRectF(QPointF(x.to, y.to), QPointF(x.toEnd, y.toEnd))};
}

// A window shows what was drawn on its context: at once during its paint
// event, otherwise at its next repaint.
void shown(const Canvas& canvas, const QRect& area, bool painting) {
  if (!canvas.window) return;
  ++windowCopies();
  if (!painting) canvas.window->update(area);
}

// Drawn straight onto a see-through window, nothing goes outside its
// outline: the window system does not cut the window to it, and pixels
// outside it would show. (Where it does, the window is drawn as before.)
void clipToOutline(QPainter& painter, const Canvas& canvas) {
  if (canvas.device == canvas.window &&
      canvas.window->testAttribute(Qt::WA_TranslucentBackground) &&
      !canvas.window->mask().isEmpty())
    painter.setClipRegion(canvas.window->mask());
}

QColor colourOf(quint32 colour) {
  return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

// Coordinates far outside any surface are pulled in, so that no sum of them
// overflows; what they describe lies off the surface either way.
int bounded(qint64 value) {
  return int(std::clamp<qint64>(value, -(1 << 24), 1 << 24));
}

// The rectangle from (x, y) to (x + width, y + height), right and bottom
// exclusive, whichever way the sizes point.
QRect normalRect(int x, int y, int width, int height) {
  const qint64 x2 = qint64(x) + width;
  const qint64 y2 = qint64(y) + height;
  return QRect(QPoint(bounded(std::min<qint64>(x, x2)), bounded(std::min<qint64>(y, y2))),
               QPoint(bounded(std::max<qint64>(x, x2)) - 1, bounded(std::max<qint64>(y, y2)) - 1));
}

// The part of `target` that the part `inside` of the source rectangle `from`
// is scaled onto, mirrored along the axes that are flipped.
QRectF mappedPart(QRect target, QRect from, QRect inside, bool flipX, bool flipY) {
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
int blend(HDC destination, QRect target, bool flipX, bool flipY, HDC source, QRect from,
          qreal opacity) {
  const Canvas to = canvasOf(destination);
  const Pixels pixels = pixelsOf(source);
  if (!to.device || !pixels.image) return 0;
  const QRect inside = from & QRect(QPoint(0, 0), pixels.size);
  if (target.isEmpty() || inside.isEmpty()) return 1;
  const QRectF part = mappedPart(target, from, inside, flipX, flipY);
  const qreal density = to.device->devicePixelRatioF();
  const auto [piece, onto] = pieceOf(pixels, inside, part, flipX, flipY, density);
  {
    QPainter painter(to.device);
    clipToOutline(painter, to);
    // In the canvas's own pixels.
    painter.setWorldTransform(QTransform::fromScale(1 / density, 1 / density));
    painter.setCompositionMode(opacity < 1 ? QPainter::CompositionMode_SourceOver
                                           : QPainter::CompositionMode_Source);
    painter.setOpacity(opacity);
    painter.drawImage(onto, piece);
  }
  shown(to, part.toAlignedRect(), to.device == to.window);
  return 1;
}

QImage readPicture(const QString& path) {
  QImageReader reader(path);
  reader.setDecideFormatFromContent(true);
  return reader.read().convertToFormat(kDisplayFormat);
}

// Row by row, the pixels whose centres lie inside the corner ellipses.
QRegion roundRect(QRect box, int ellipseWidth, int ellipseHeight) {
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
  const QRegion* found = regions().find(region);
  if (!found) return std::nullopt;
  const QRegion taken = *found;
  regions().objects.erase(region.value);
  return taken;
}

QString LargerVersionPath(const QString& path) {
  const QFileInfo file(path);
  const QString suffix = file.suffix().isEmpty() ? QString() : "." + file.suffix();
  return file.path() + "/" + file.completeBaseName() + "@2x" + suffix;
}

QImage SurfacePixels(HDC dc) {
  const QImage* image = pixelsOf(dc).image;
  return image ? *image : QImage();
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

HBITMAP CreateCompatibleBitmap(HDC reference, int width, int height) {
  if (width < 1 || height < 1) return {};
  const QSize size(width, height);
  Bitmap bitmap;
  bitmap.image = blankImage(size, densityOf(reference));
  bitmap.size = size;
  if (bitmap.image.isNull()) return {};
  return bitmaps().add(std::move(bitmap));
}

HBITMAP SelectObject(HDC dc, HBITMAP bitmap) {
  DeviceContext* context = Contexts().find(dc);
  Bitmap* incoming = bitmaps().find(bitmap);
  if (!context || context->bitmap == HBITMAP{} || (!incoming && bitmap != kStockBitmap)) return {};
  if (incoming && incoming->selectedInto && incoming->selectedInto != dc) return {};
  if (Bitmap* outgoing = bitmaps().find(context->bitmap)) outgoing->selectedInto = {};
  if (incoming) incoming->selectedInto = dc;
  return std::exchange(context->bitmap, bitmap);
}

HBITMAP GetCurrentBitmap(HDC dc) {
  const DeviceContext* context = Contexts().find(dc);
  return context ? context->bitmap : HBITMAP{};
}

int DeleteObject(HBITMAP bitmap) {
  if (bitmap == kStockBitmap) return 1;
  const Bitmap* found = bitmaps().find(bitmap);
  if (!found || found->selectedInto) return 0;
  bitmaps().objects.erase(bitmap.value);
  return 1;
}

int DeleteDC(HDC dc) {
  const DeviceContext* context = Contexts().find(dc);
  if (!context) return 0;
  if (Bitmap* bitmap = bitmaps().find(context->bitmap)) bitmap->selectedInto = {};
  Contexts().objects.erase(dc.value);
  return 1;
}

int GetObjectA(HBITMAP bitmap, BITMAP* info) {
  const Bitmap* found = bitmaps().find(bitmap);
  const QSize size = bitmap == kStockBitmap ? QSize(1, 1) : found ? found->size : QSize();
  if (!info || size.isEmpty()) return 0;
  *info = {size.width(), size.height()};
  return int(sizeof(BITMAP));
}

qreal GetDeviceDensity(HDC dc) {
  return densityOf(dc);
}

HBITMAP LoadPicture(const QString& path) {
  Bitmap bitmap;
  bitmap.image = readPicture(path);
  bitmap.size = bitmap.image.size();
  if (bitmap.image.isNull()) return {};
  bitmap.picture = true;
  QImage larger = readPicture(LargerVersionPath(path));
  if (larger.size() == 2 * bitmap.size) {
    larger.setDevicePixelRatio(2);
    bitmap.larger.push_back(larger);
  }
  return bitmaps().add(std::move(bitmap));
}

int BitBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX,
           int sourceY, quint32 rop) {
  return StretchBlt(destination, x, y, width, height, source, sourceX, sourceY, width, height, rop);
}

int StretchBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX,
               int sourceY, int sourceWidth, int sourceHeight, quint32 rop) {
  if (rop != SRCCOPY) return 0;
  return blend(destination, normalRect(x, y, width, height), (width < 0) != (sourceWidth < 0),
               (height < 0) != (sourceHeight < 0), source,
               normalRect(sourceX, sourceY, sourceWidth, sourceHeight), 1.0);
}

int AlphaBlend(HDC destination, int x, int y, int width, int height, HDC source, int sourceX,
               int sourceY, int sourceWidth, int sourceHeight, quint32 blendFunction) {
  const Pixels pixels = pixelsOf(source);
  const QRect from = normalRect(sourceX, sourceY, sourceWidth, sourceHeight);
  if (!pixels.image || width < 0 || height < 0 || sourceWidth < 0 || sourceHeight < 0 ||
      !QRect(QPoint(0, 0), pixels.size).contains(from)) {
    return 0;
  }
  const int alpha = int((blendFunction >> 16) & 0xFF);
  return blend(destination, normalRect(x, y, width, height), false, false, source, from,
               alpha / 255.0);
}

// At a higher density the first of the pixels that cover the logical one.
quint32 GetPixel(HDC dc, int x, int y) {
  const Pixels pixels = pixelsOf(dc);
  if (!pixels.image || !QRect(QPoint(0, 0), pixels.size).contains(x, y)) return CLR_INVALID;
  const qreal density = pixels.image->devicePixelRatio();
  const QPoint first(deviceEdge(x, density), deviceEdge(y, density));
  if (!pixels.image->valid(first)) return CLR_INVALID;
  const QRgb pixel = pixels.image->pixel(first);
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
  const DeviceContext* context = Contexts().find(dc);
  if (!text || !rect || !context || context->window) return 0;
  QImage* image = drawnOn(pixelsOf(dc)).image;
  if (!image) return 0;
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
  if (context->bkMode == OPAQUE) painter.fillRect(drawn, Qt::white);
  painter.setPen(colourOf(context->textColour));
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
  if (width < 2 || height < 2) return regions().add(QRegion(box));
  return regions().add(roundRect(box, width, height));
}

GdiObjectCounts LiveGdiObjects() {
  return {int(Contexts().objects.size()), int(bitmaps().objects.size()), int(Screens().size())};
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
  return windowCopies();
}

int GetTextExtentPoint32W(HDC dc, const QString& text, int length, SIZE* size) {
  QImage* image = pixelsOf(dc).image;
  if (!image || !size || length < 0) return 0;
  const QFontMetrics metrics = QPainter(image).fontMetrics();
  *size = {metrics.horizontalAdvance(text.left(length)), metrics.height()};
  return 1;
}

int DrawIconEx(HDC dc, int x, int y, HICON icon, int width, int height, unsigned, const void*,
               unsigned) {
  const Canvas canvas = canvasOf(dc);
  const QIcon picture = IconOf(icon);
  if (!canvas.device || picture.isNull()) return 0;
  const QRect target(x, y, width, height);
  {
    QPainter painter(canvas.device);
    clipToOutline(painter, canvas);
    painter.drawPixmap(target, picture.pixmap(target.size(), canvas.device->devicePixelRatioF()));
  }
  shown(canvas, target, canvas.device == canvas.window);
  return 1;
}

}  // namespace ModAPI
