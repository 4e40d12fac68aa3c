// drawicons: paints every icon and bitmap that Tarvo ships, with QPainter, and saves them as PNG.
//
// Usage: drawicons OUTDIR [PREVIEW.png]
//   OUTDIR        the res/icons folder; the program writes toolbar/, documents/ and the rest there
//   PREVIEW.png   optional: a sheet of every image scaled up 8x (nearest neighbour), for checking
//
// Style: the sixteen classic colours (plus a brown and a dark gray), crisp 1-pixel outlines,
// transparent backgrounds. The small images are drawn pixel by pixel (antialiasing off), either
// from character grids or from shape masks whose boundary becomes the outline; only the large
// application pictures are drawn as antialiased vector shapes.

#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <numbers>
#include <utility>
#include <vector>

namespace {

[[noreturn]] void die(const QString &message)
{
    std::fprintf(stderr, "drawicons: %s\n", qPrintable(message));
    std::exit(1);
}

// One character per palette entry, used by the sprite grids. '.' is transparent.
QColor pal(char c)
{
    switch (c) {
    case 'k': return QColor(0, 0, 0);        // black
    case 'd': return QColor(64, 64, 64);     // dark gray
    case 'g': return QColor(128, 128, 128);  // gray
    case 's': return QColor(192, 192, 192);  // silver
    case 'w': return QColor(255, 255, 255);  // white
    case 'r': return QColor(255, 0, 0);      // red
    case 'm': return QColor(128, 0, 0);      // maroon
    case 'y': return QColor(255, 255, 0);    // yellow
    case 'o': return QColor(128, 128, 0);    // olive
    case 'l': return QColor(0, 255, 0);      // lime
    case 'e': return QColor(0, 128, 0);      // green
    case 'b': return QColor(0, 0, 255);      // blue
    case 'n': return QColor(0, 0, 128);      // navy
    case 'c': return QColor(0, 255, 255);    // cyan
    case 't': return QColor(0, 128, 128);    // teal
    case 'p': return QColor(255, 0, 255);    // magenta
    case 'u': return QColor(128, 0, 128);    // purple
    case 'h': return QColor(170, 85, 0);     // brown
    default: break;
    }
    die(QStringLiteral("unknown palette character '%1'").arg(QChar(c)));
}

// A set of pixels. A shape is painted by filling its pixels and drawing those pixels that have
// a horizontal or vertical neighbour outside the shape in the outline colour, which gives a
// one-pixel, 8-connected outline.
struct Mask {
    int w = 0;
    int h = 0;
    std::vector<char> bits;

    Mask(int width, int height) : w(width), h(height), bits(size_t(width * height), 0) {}

    bool at(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h && bits[size_t(y * w + x)]; }
    void set(int x, int y, bool on = true)
    {
        if (x >= 0 && y >= 0 && x < w && y < h)
            bits[size_t(y * w + x)] = on ? 1 : 0;
    }
    // Adds every pixel whose centre satisfies inside(cx, cy).
    template <class F> Mask &add(F inside)
    {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (inside(x + 0.5, y + 0.5))
                    set(x, y);
        return *this;
    }
    bool edge(int x, int y) const
    {
        return at(x, y) && (!at(x - 1, y) || !at(x + 1, y) || !at(x, y - 1) || !at(x, y + 1));
    }
};

double segmentDistance(double px, double py, double ax, double ay, double bx, double by)
{
    const double dx = bx - ax, dy = by - ay;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((px - ax) * dx + (py - ay) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    const double qx = ax + t * dx - px, qy = ay + t * dy - py;
    return std::sqrt(qx * qx + qy * qy);
}

// Pixel-exact drawing: every call paints whole pixels with fillRect, antialiasing off.
class Pix {
public:
    explicit Pix(QPainter &painter) : p(painter) { p.setRenderHint(QPainter::Antialiasing, false); }

    void dot(int x, int y, char c) { p.fillRect(x, y, 1, 1, pal(c)); }
    void dot(int x, int y, const QColor &c) { p.fillRect(x, y, 1, 1, c); }
    void hline(int x1, int x2, int y, char c) { p.fillRect(x1, y, x2 - x1 + 1, 1, pal(c)); }
    void vline(int x, int y1, int y2, char c) { p.fillRect(x, y1, 1, y2 - y1 + 1, pal(c)); }
    void fill(int x, int y, int w, int h, char c) { p.fillRect(x, y, w, h, pal(c)); }
    void fill(int x, int y, int w, int h, const QColor &c) { p.fillRect(x, y, w, h, c); }

    // A rectangle with a 1-pixel edge, filled with inside unless it is 0.
    void frame(int x, int y, int w, int h, char edge, char inside = 0)
    {
        if (inside)
            fill(x + 1, y + 1, w - 2, h - 2, inside);
        hline(x, x + w - 1, y, edge);
        hline(x, x + w - 1, y + h - 1, edge);
        vline(x, y, y + h - 1, edge);
        vline(x + w - 1, y, y + h - 1, edge);
    }

    // A character grid; all rows must be equally long. '.' leaves the pixel alone.
    void sprite(int ox, int oy, std::initializer_list<const char *> rows)
    {
        size_t width = 0;
        int y = oy;
        for (const char *row : rows) {
            const size_t len = std::strlen(row);
            if (width == 0)
                width = len;
            else if (len != width)
                die(QStringLiteral("sprite row %1 is %2 wide, expected %3: \"%4\"")
                        .arg(y - oy).arg(len).arg(width).arg(QString::fromLatin1(row)));
            for (size_t i = 0; i < len; ++i)
                if (row[i] != '.')
                    dot(ox + int(i), y, row[i]);
            ++y;
        }
    }

    void shape(const Mask &m, int ox, int oy, char inside, char edge)
    {
        for (int y = 0; y < m.h; ++y)
            for (int x = 0; x < m.w; ++x)
                if (m.at(x, y))
                    dot(ox + x, oy + y, m.edge(x, y) && edge ? edge : inside);
    }

    // A sheet of paper, w x h including its outline, with a folded top-right corner ear pixels
    // deep (0 for none). The fold is silver, the rest of the sheet white.
    void page(int x, int y, int w, int h, int ear)
    {
        const int fx = x + w - 1 - ear;  // column of the fold
        const int fy = y + ear;          // row of the fold
        for (int r = y + 1; r < y + h - 1; ++r)
            for (int c = x + 1; c < x + w - 1; ++c) {
                if (c > fx && r < fy) {
                    if (c - fx < r - y)
                        dot(c, r, 's');
                    continue;
                }
                dot(c, r, 'w');
            }
        hline(x, fx, y, 'k');
        vline(x, y, y + h - 1, 'k');
        hline(x, x + w - 1, y + h - 1, 'k');
        vline(x + w - 1, fy, y + h - 1, 'k');
        if (ear > 0) {
            for (int i = 1; i <= ear; ++i)
                dot(fx + i, y + i, 'k');
            vline(fx, y, fy, 'k');
            hline(fx, x + w - 1, fy, 'k');
        }
    }

    QPainter &p;
};

QImage blank(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    return img;
}

QImage paintImage(int w, int h, const std::function<void(Pix &)> &draw)
{
    QImage img = blank(w, h);
    QPainter painter(&img);
    Pix px(painter);
    draw(px);
    painter.end();
    return img;
}

// ---------------------------------------------------------------------------------------------
// Shared motifs

// A play triangle pointing right: left column x, rows y .. y+rights.size()-1, rightmost pixel of
// each row given. Lime with a green outline.
void playTriangle(Pix &px, int x, int y, std::initializer_list<int> rights)
{
    int maxRight = 0;
    for (int r : rights)
        maxRight = std::max(maxRight, r);
    Mask m(maxRight + 1, int(rights.size()));
    int row = 0;
    for (int r : rights) {
        for (int c = x; c <= r; ++c)
            m.set(c, row);
        ++row;
    }
    px.shape(m, 0, y, 'l', 'e');
}

// A bold check mark, 9 x 8 pixels at (ox, oy), lime with a green outline.
void checkMark(Pix &px, int ox, int oy)
{
    Mask m(9, 8);
    m.add([](double x, double y) {
        return segmentDistance(x, y, 1.5, 4.0, 3.5, 6.0) <= 1.05
            || segmentDistance(x, y, 3.5, 6.0, 7.5, 1.5) <= 1.05;
    });
    px.shape(m, ox, oy, 'l', 'e');
}

// Text lines on a page: gray bars of the given widths on every other row.
void textLines(Pix &px, int x, int y, std::initializer_list<int> widths, char c = 'g')
{
    for (int w : widths) {
        if (w > 0)
            px.hline(x, x + w - 1, y, c);
        y += 2;
    }
}

// A project tree: a yellow root node and two child nodes joined by dotted lines.
void projectTree(Pix &px, int ox, int oy, int labelEnd)
{
    // dotted trunk and branches
    for (int y = 5; y <= 12; y += 2)
        px.dot(ox + 2, oy + y, 'g');
    px.dot(ox + 3, oy + 7, 'g');
    px.dot(ox + 3, oy + 12, 'g');
    // root: a small yellow folder
    px.frame(ox + 0, oy + 0, 5, 5, 'k', 'y');
    px.hline(ox + 6, ox + labelEnd, oy + 2, 'n');
    // children: small pages
    px.frame(ox + 4, oy + 5, 5, 5, 'k', 'w');
    px.dot(ox + 6, oy + 7, 'b');
    px.hline(ox + 10, ox + labelEnd, oy + 7, 'n');
    px.frame(ox + 4, oy + 10, 5, 5, 'k', 'w');
    px.dot(ox + 6, oy + 12, 'b');
    px.hline(ox + 10, ox + labelEnd, oy + 12, 'n');
}

// "J" (for Java) in brown, 6 x 8.
void letterJ(Pix &px, int ox, int oy)
{
    px.sprite(ox, oy, {
        "..hhhh",
        "....hh",
        "....hh",
        "....hh",
        "....hh",
        "hh..hh",
        "hh..hh",
        ".hhhh.",
    });
}

// "<>" (for HTML) in blue, 8 x 5.
void angleBrackets(Pix &px, int ox, int oy)
{
    px.sprite(ox, oy, {
        "..b..b..",
        ".bb..bb.",
        "bb....bb",
        ".bb..bb.",
        "..b..b..",
    });
}

// ---------------------------------------------------------------------------------------------
// Toolbar buttons, 16 x 15

void tbNew(Pix &px)
{
    px.page(2, 0, 12, 15, 4);
}

void tbOpen(Pix &px)
{
    px.sprite(0, 0, {
        "................",
        ".kkkk...........",
        "kyyyyk..........",
        "kyyyyykkkkkkk...",
        "kyoooooooooyk...",
        "kyoooooooooyk...",
        "kyoooooooooyk...",
        "kyooookkkkkkkkkk",
        "kyoookyyyyyyyyk.",
        "kyookyyyyyyyyk..",
        "kyokyyyyyyyyk...",
        "kykyyyyyyyyk....",
        "kkyyyyyyyyk.....",
        "kkkkkkkkkk......",
        "................",
    });
}

void tbSave(Pix &px)
{
    px.sprite(0, 0, {
        "................",
        ".kkkkkkkkkkkkkk.",
        ".knnwwwwwwwwnnk.",
        ".knnwggggggwnnk.",
        ".knnwwwwwwwwnnk.",
        ".knnwggggggwnnk.",
        ".knnwwwwwwwwnnk.",
        ".knnnnnnnnnnnnk.",
        ".knnnnnnnnnnnnk.",
        ".knnssssssssnnk.",
        ".knnssnnssssnnk.",
        ".knnssnnssssnnk.",
        ".knnssnnssssnnk.",
        ".knnssssssssnnk.",
        ".kkkkkkkkkkkkkk.",
    });
}

void tbCut(Pix &px)
{
    px.sprite(0, 0, {
        "....k......k....",
        "....ks....sk....",
        ".....ks..sk.....",
        ".....ks..sk.....",
        "......kssk......",
        ".......kk.......",
        "......kggk......",
        "......k..k......",
        "..kkkk....kkkk..",
        ".krrrk....krrrk.",
        "kr...rk..kr...rk",
        "kr...rk..kr...rk",
        "kr...rk..kr...rk",
        ".krrrk....krrrk.",
        "..kkk......kkk..",
    });
}

void tbCopy(Pix &px)
{
    px.page(0, 0, 10, 11, 3);
    textLines(px, 2, 3, {5, 5, 3, 3});
    px.page(6, 4, 10, 11, 3);
    textLines(px, 8, 7, {6, 6, 6, 4}, 'n');
}

void tbPaste(Pix &px)
{
    px.sprite(0, 0, {
        "....kkkkk.......",
        ".kkkksssskkk....",
        ".khkkkkkkkhk....",
        ".khhhhhhhhhk....",
        ".khhhhhhhhhk....",
        ".khhhhkkkkkkkkk.",
        ".khhhhkwwwwwwwk.",
        ".khhhhkwnnnnnwk.",
        ".khhhhkwwwwwwwk.",
        ".khhhhkwnnnnnwk.",
        ".khhhhkwwwwwwwk.",
        ".khhhhkwnnnnnwk.",
        ".khhhhkwwwwwwwk.",
        ".kkkkkkwwwwwwwk.",
        "......kkkkkkkkk.",
    });
}

void tbPrint(Pix &px)
{
    px.sprite(0, 0, {
        "....kkkkkkkk....",
        "....kwwwwwwk....",
        "....kwggggwk....",
        "....kwwwwwwk....",
        "..kkkkkkkkkkkk..",
        ".kwwwwwwwwwwwwk.",
        ".kssssssssssssk.",
        ".ksssssssssslsk.",
        ".kggggggggggggk.",
        ".kkkkkkkkkkkkkk.",
        "...kwwwwwwwwk...",
        "...kwggggggwk...",
        "...kwwwwwwwwk...",
        "...kkkkkkkkkk...",
        "................",
    });
}

void tbAbout(Pix &px)
{
    Mask circle(15, 15);
    circle.add([](double x, double y) { return std::hypot(x - 7.5, y - 7.5) <= 6.9; });
    px.shape(circle, 0, 0, 'b', 'n');
    px.sprite(5, 3, {
        ".www.",
        "ww.ww",
        "...ww",
        "..ww.",
        "..w..",
        "..w..",
        ".....",
        "..w..",
    });
}

void indentLines(Pix &px)
{
    px.hline(1, 14, 1, 'n');
    px.hline(9, 14, 4, 'n');
    px.hline(9, 14, 7, 'n');
    px.hline(9, 14, 10, 'n');
    px.hline(1, 14, 13, 'n');
}

void tbIndent(Pix &px)
{
    indentLines(px);
    px.sprite(1, 4, {
        "...b...",
        "...bb..",
        "bbbbbb.",
        "bbbbbbb",
        "bbbbbb.",
        "...bb..",
        "...b...",
    });
}

void tbOutdent(Pix &px)
{
    indentLines(px);
    px.sprite(1, 4, {
        "...b...",
        "..bb...",
        ".bbbbbb",
        "bbbbbbb",
        ".bbbbbb",
        "..bb...",
        "...b...",
    });
}

void tbCompile(Pix &px)
{
    px.page(1, 0, 11, 15, 3);
    textLines(px, 3, 5, {7, 5, 7, 4, 6});
    checkMark(px, 7, 7);
}

void block(Pix &px, int x, int y, char face, char shade)
{
    px.frame(x, y, 7, 7, 'k', face);
    px.vline(x + 5, y + 1, y + 5, shade);
    px.hline(x + 1, x + 5, y + 5, shade);
    px.hline(x + 1, x + 4, y + 1, 'w');
    px.vline(x + 1, y + 1, y + 4, 'w');
}

void tbBuild(Pix &px)
{
    block(px, 1, 7, 'r', 'm');
    block(px, 7, 7, 'b', 'n');
    block(px, 4, 1, 'y', 'o');
}

void tbRun(Pix &px)
{
    playTriangle(px, 3, 1, {3, 4, 6, 7, 9, 10, 12, 10, 9, 7, 6, 4, 3});
}

void tbRunApplet(Pix &px)
{
    px.frame(0, 0, 12, 11, 'k', 'w');
    px.fill(1, 1, 10, 2, 'n');
    px.hline(1, 10, 3, 'k');
    playTriangle(px, 7, 5, {7, 8, 10, 11, 13, 11, 10, 8, 7});
}

void tbProject(Pix &px)
{
    projectTree(px, 1, 0, 13);
}

// ---------------------------------------------------------------------------------------------
// Tree images, 18 x 16 each

void javaPage(Pix &px, int ox)
{
    px.page(ox + 3, 0, 12, 16, 3);
    letterJ(px, ox + 6, 5);
}

void treeJava(Pix &px, int ox)
{
    javaPage(px, ox);
}

void treeMainJava(Pix &px, int ox)
{
    javaPage(px, ox);
    px.sprite(ox + 0, 8, {
        "...m...",
        "..mrm..",
        "mmmrmmm",
        "mrrrrrm",
        ".mrrrm.",
        "mrrmrrm",
        "mmm.mmm",
    });
}

void treeHtml(Pix &px, int ox)
{
    px.page(ox + 3, 0, 12, 16, 3);
    angleBrackets(px, ox + 5, 7);
}

void treeClass(Pix &px, int ox)
{
    px.frame(ox + 2, 2, 14, 12, 'k', 'w');
    px.fill(ox + 3, 3, 12, 3, 'y');
    px.hline(ox + 5, ox + 12, 4, 'o');
    px.hline(ox + 2, ox + 15, 6, 'k');
    px.hline(ox + 4, ox + 11, 8, 'g');
    px.hline(ox + 2, ox + 15, 10, 'k');
    px.hline(ox + 4, ox + 13, 12, 'g');
}

void treeMethod(Pix &px, int ox)
{
    Mask diamond(18, 16);
    diamond.add([](double x, double y) { return std::abs(x - 9.0) + std::abs(y - 8.0) <= 6.0; });
    px.shape(diamond, ox, 0, 'p', 'u');
    px.dot(ox + 7, 6, 'w');
    px.dot(ox + 8, 5, 'w');
    px.dot(ox + 6, 7, 'w');
}

void selectedBackground(Pix &px, int ox)
{
    const QColor fillColour(204, 224, 255);
    const QColor edgeColour(96, 144, 224);
    px.fill(ox + 1, 1, 16, 14, fillColour);
    px.fill(ox + 1, 0, 16, 1, edgeColour);
    px.fill(ox + 1, 15, 16, 1, edgeColour);
    px.fill(ox + 0, 1, 1, 14, edgeColour);
    px.fill(ox + 17, 1, 1, 14, edgeColour);
}

QImage treeStrip()
{
    using Draw = void (*)(Pix &, int);
    const Draw pictures[] = {treeJava, treeMainJava, treeHtml, treeClass, treeMethod};
    return paintImage(180, 16, [&](Pix &px) {
        for (int i = 0; i < 10; ++i) {
            const int ox = i * 18;
            if (i % 2 == 1)
                selectedBackground(px, ox);
            pictures[i / 2](px, ox);
        }
    });
}

// ---------------------------------------------------------------------------------------------
// Document window icons, 16 x 16

void docSource(Pix &px)
{
    px.page(2, 0, 12, 16, 3);
    px.hline(4, 6, 5, 'b');
    px.hline(8, 10, 5, 'k');
    px.hline(6, 11, 7, 'k');
    px.hline(6, 8, 9, 'b');
    px.hline(10, 11, 9, 'k');
    px.hline(6, 10, 11, 'e');
    px.hline(4, 4, 13, 'k');
}

void docProject(Pix &px)
{
    projectTree(px, 0, 1, 14);
}

void docHtml(Pix &px)
{
    px.page(2, 0, 12, 16, 3);
    angleBrackets(px, 4, 7);
}

// ---------------------------------------------------------------------------------------------
// Light bulb, 32 x 32

QImage bulb()
{
    return paintImage(32, 32, [](Pix &px) {
        // rays
        const double cx = 15.5, cy = 12.0;
        for (int deg : {-90, -45, -135, 0, 180}) {
            const double a = deg * std::numbers::pi / 180.0;
            Mask ray(32, 32);
            ray.add([&](double x, double y) {
                return segmentDistance(x, y, cx + 10.5 * std::cos(a), cy + 10.5 * std::sin(a),
                                       cx + 13.5 * std::cos(a), cy + 13.5 * std::sin(a)) <= 0.6;
            });
            px.shape(ray, 0, 0, 'o', 0);
        }
        // glass
        Mask glass(32, 32);
        glass.add([&](double x, double y) { return std::hypot(x - cx, y - cy) <= 8.4; });
        glass.add([&](double x, double y) {
            if (y < 15.0 || y > 23.0)
                return false;
            const double half = 6.6 - (y - 15.0) * (2.2 / 8.0);
            return std::abs(x - 16.0) <= half;
        });
        px.shape(glass, 0, 0, 'y', 'k');
        // highlight
        px.sprite(9, 7, {
            "..ww",
            ".ww.",
            "ww..",
            "w...",
            "w...",
        });
        // filament
        px.sprite(12, 11, {
            "o......o",
            ".o....o.",
            ".o.oo.o.",
            "..o..o..",
            "...oo...",
            "...oo...",
            "...oo...",
            "...oo...",
            "...oo...",
            "...oo...",
            "...oo...",
        });
        // screw base
        px.frame(11, 22, 10, 6, 'k', 's');
        px.hline(12, 19, 24, 'g');
        px.hline(12, 19, 26, 'g');
        px.hline(12, 19, 23, 'w');
        px.frame(13, 27, 6, 3, 'k', 'd');
        px.hline(14, 17, 30, 'k');
    });
}

// ---------------------------------------------------------------------------------------------
// Application icon: a bold white "T" between a pair of braces on a rounded teal tile. Drawn on a
// 48-unit grid and scaled, antialiased.

void appTile(QPainter &p, double size)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const double s = size / 48.0;
    p.scale(s, s);
    const double hair = 1.0 / s;  // one device pixel
    const QColor edge(0, 48, 48);

    // tile: filled in the outline colour, then again one pixel in
    QPainterPath outer;
    outer.addRoundedRect(QRectF(2, 2, 44, 44), 8, 8);
    QPainterPath inner;
    inner.addRoundedRect(QRectF(2 + hair, 2 + hair, 44 - 2 * hair, 44 - 2 * hair), 8 - hair, 8 - hair);
    p.fillPath(outer, edge);
    p.fillPath(inner, QColor(0, 128, 128));
    QPainterPath upper;
    upper.addRect(QRectF(0, 0, 48, 20));
    p.fillPath(inner.intersected(upper), QColor(0, 152, 152));
    p.fillRect(QRectF(10, 2 + 2 * hair, 28, hair), QColor(112, 208, 208));

    // braces: yellow strokes with a dark rim
    auto brace = [](double x0, double y0, double w, double h, bool left) {
        QPainterPath b;
        const double mid = y0 + h / 2;
        const double outerX = left ? x0 + w : x0;
        const double innerX = left ? x0 : x0 + w;
        const double stem = x0 + w / 2;
        b.moveTo(outerX, y0);
        b.quadTo(stem, y0, stem, y0 + 3);
        b.lineTo(stem, mid - 3);
        b.quadTo(stem, mid, innerX, mid);
        b.quadTo(stem, mid, stem, mid + 3);
        b.lineTo(stem, y0 + h - 3);
        b.quadTo(stem, y0 + h, outerX, y0 + h);
        return b;
    };
    for (bool left : {true, false}) {
        const QPainterPath b = brace(left ? 8.0 : 34.0, 21.0, 6.0, 19.0, left);
        p.setPen(QPen(edge, 3.0 + 2 * hair, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(b);
        p.setPen(QPen(QColor(255, 255, 0), 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(b);
    }

    // the T: shadow, outline, white face
    auto tShape = [](double in) {
        QPainterPath t;
        t.setFillRule(Qt::WindingFill);
        t.addRect(QRectF(11 + in, 9 + in, 26 - 2 * in, 8 - 2 * in));
        t.addRect(QRectF(20 + in, 9 + in, 8 - 2 * in, 31 - 2 * in));
        return t.simplified();
    };
    p.fillPath(tShape(0).translated(2, 2), QColor(0, 72, 72));
    p.fillPath(tShape(0), edge);
    p.fillPath(tShape(hair), QColor(255, 255, 255));
    p.restore();
}

QImage appIcon(int size)
{
    QImage img = blank(size, size);
    QPainter p(&img);
    appTile(p, size);
    p.end();
    return img;
}

// The About box picture: a page of code behind the application tile, 96 x 96.
QImage aboutPicture()
{
    QImage img = blank(96, 96);
    QPainter painter(&img);
    {
        // the page, pixel-exact
        Pix px(painter);
        const int x = 30, y = 2, w = 62, h = 72, ear = 12;
        px.page(x, y, w, h, ear);
        const struct {
            int indent, length;
            char colour;
        } lines[] = {{0, 10, 'b'}, {12, 22, 'k'}, {0, 30, 'k'}, {6, 8, 'b'}, {16, 22, 'k'},
                     {12, 30, 'k'}, {12, 24, 'e'}, {6, 34, 'k'}, {6, 12, 'b'}, {12, 28, 'k'},
                     {6, 3, 'k'}, {0, 3, 'k'}};
        int ly = y + 8;
        for (const auto &line : lines) {
            const int lx = x + 6 + line.indent;
            const int right = std::min(lx + line.length, ly < y + ear + 2 ? x + w - ear - 3 : x + w - 5);
            if (right > lx)
                px.fill(lx, ly, right - lx, 2, line.colour);
            ly += 5;
        }
    }
    // soft shadow, then the tile
    painter.setRenderHint(QPainter::Antialiasing, true);
    QPainterPath shadow;
    shadow.addRoundedRect(QRectF(7, 35, 58, 58), 10, 10);
    painter.fillPath(shadow, QColor(0, 0, 0, 64));
    painter.translate(0, 28);
    appTile(painter, 64);
    painter.end();
    return img;
}

// ---------------------------------------------------------------------------------------------

struct Output {
    QString path;  // relative to the output folder
    QImage image;
};

void save(const QDir &dir, const Output &out)
{
    const QString file = dir.filePath(out.path);
    QDir().mkpath(QFileInfo(file).path());
    if (!out.image.save(file, "PNG"))
        die(QStringLiteral("cannot write %1").arg(file));
    std::printf("%s  %dx%d\n", qPrintable(out.path), out.image.width(), out.image.height());
}

// All images side by side, each scaled up 8x, with a checkerboard showing transparency.
QImage previewSheet(const QList<Output> &outputs)
{
    const int scale = 8, gap = 16, maxWidth = 1600;
    int x = gap, y = gap, rowHeight = 0, sheetWidth = 0;
    QList<QPoint> places;
    for (const Output &o : outputs) {
        const int w = std::min(o.image.width() * scale, 1024), h = std::min(o.image.height() * scale, 1024);
        if (x + w + gap > maxWidth && x > gap) {
            x = gap;
            y += rowHeight + gap;
            rowHeight = 0;
        }
        places.append(QPoint(x, y));
        x += w + gap;
        rowHeight = std::max(rowHeight, h);
        sheetWidth = std::max(sheetWidth, x);
    }
    QImage sheet(sheetWidth, y + rowHeight + gap, QImage::Format_ARGB32);
    sheet.fill(QColor(255, 255, 255));
    QPainter p(&sheet);
    for (int i = 0; i < outputs.size(); ++i) {
        const QImage &img = outputs[i].image;
        const QImage big = img.scaled(std::min(img.width() * scale, 1024), std::min(img.height() * scale, 1024),
                                      Qt::KeepAspectRatio, img.width() * scale > 1024 ? Qt::SmoothTransformation
                                                                                       : Qt::FastTransformation);
        const QPoint at = places[i];
        for (int cy = 0; cy < big.height(); cy += 8)
            for (int cx = 0; cx < big.width(); cx += 8)
                p.fillRect(at.x() + cx, at.y() + cy, std::min(8, big.width() - cx), std::min(8, big.height() - cy),
                           ((cx + cy) / 8) % 2 ? QColor(220, 220, 220) : QColor(245, 245, 245));
        p.drawImage(at, big);
    }
    p.end();
    return sheet;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: drawicons OUTDIR [PREVIEW.png]\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));

    const std::pair<int, void (*)(Pix &)> toolbar[] = {
        {57600, tbNew},     {57601, tbOpen},     {57603, tbSave},    {57635, tbCut},
        {57634, tbCopy},    {57637, tbPaste},    {57607, tbPrint},   {57664, tbAbout},
        {32784, tbIndent},  {32785, tbOutdent},  {32774, tbCompile}, {32803, tbBuild},
        {32776, tbRun},     {32780, tbRunApplet}, {32814, tbProject},
    };

    QList<Output> outputs;
    for (const auto &[id, draw] : toolbar)
        outputs.append({QStringLiteral("toolbar/%1.png").arg(id), paintImage(16, 15, draw)});
    outputs.append({QStringLiteral("tree.png"), treeStrip()});
    outputs.append({QStringLiteral("documents/source.png"), paintImage(16, 16, docSource)});
    outputs.append({QStringLiteral("documents/project.png"), paintImage(16, 16, docProject)});
    outputs.append({QStringLiteral("documents/html.png"), paintImage(16, 16, docHtml)});
    outputs.append({QStringLiteral("bulb.png"), bulb()});
    outputs.append({QStringLiteral("tarvo.png"), appIcon(48)});
    outputs.append({QStringLiteral("about.png"), aboutPicture()});
    outputs.append({QStringLiteral("tarvo-256.png"), appIcon(256)});

    for (const Output &o : outputs)
        save(dir, o);

    if (argc == 3) {
        const QString preview = QString::fromLocal8Bit(argv[2]);
        if (!previewSheet(outputs).save(preview, "PNG"))
            die(QStringLiteral("cannot write %1").arg(preview));
        std::printf("preview: %s\n", qPrintable(preview));
    }
    return 0;
}
