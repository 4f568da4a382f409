// Draws the program's pictures into the program folder: the station in its three
// states, the small product marks for the charts and the toolbar icons.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

namespace {

enum class Pose { Normal, Park, Offline };

QColor tone(const QColor& c, bool grey) {
    if (!grey) return c;
    const int g = qGray(c.rgb());
    return QColor(g, g, g);
}

// The rework station, side view: base with the IR lower heater, the board on its
// holder, the column and the arm with the upper heater head.
QImage station(Pose pose) {
    const bool grey = pose == Pose::Offline;
    QImage img(440, 300, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 300);
    sky.setColorAt(0, tone(QColor(236, 240, 246), grey));
    sky.setColorAt(1, tone(QColor(200, 208, 220), grey));
    p.fillRect(img.rect(), sky);

    // bench shadow and base
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 40));
    p.drawEllipse(QRectF(30, 262, 380, 24));
    QLinearGradient base(0, 200, 0, 270);
    base.setColorAt(0, tone(QColor(70, 74, 82), grey));
    base.setColorAt(1, tone(QColor(38, 40, 46), grey));
    p.setBrush(base);
    p.drawRoundedRect(QRectF(40, 200, 360, 70), 10, 10);
    // front panel with its display
    p.setBrush(tone(QColor(20, 60, 20), grey));
    p.drawRoundedRect(QRectF(290, 218, 90, 32), 4, 4);
    p.setPen(tone(QColor(90, 255, 90), grey));
    p.setFont(QFont("Liberation Mono", 9, QFont::Bold));
    p.drawText(QRectF(290, 218, 90, 32), Qt::AlignCenter, grey ? "----" : "KR-9300");
    p.setPen(Qt::NoPen);

    // lower heater: the glowing IR panel
    QLinearGradient ir(0, 188, 0, 200);
    ir.setColorAt(0, tone(QColor(255, 120, 40), grey));
    ir.setColorAt(1, tone(QColor(170, 40, 10), grey));
    p.setBrush(ir);
    p.drawRect(QRectF(80, 188, 190, 12));
    // board on its holder
    p.setBrush(tone(QColor(150, 150, 156), grey));
    p.drawRect(QRectF(70, 168, 210, 6));
    p.setBrush(tone(QColor(20, 120, 50), grey));
    p.drawRect(QRectF(90, 160, 170, 8));
    p.setBrush(tone(QColor(30, 30, 30), grey));
    p.drawRect(QRectF(155, 150, 40, 10));  // the component

    // column
    QLinearGradient col(340, 0, 370, 0);
    col.setColorAt(0, tone(QColor(160, 164, 172), grey));
    col.setColorAt(1, tone(QColor(100, 104, 112), grey));
    p.setBrush(col);
    p.drawRect(QRectF(340, 40, 26, 162));

    // arm and upper heater head, over the board or swung up and away
    p.save();
    p.translate(353, 60);
    p.rotate(pose == Pose::Normal ? 0 : -58);
    p.setBrush(tone(QColor(120, 124, 132), grey));
    p.drawRoundedRect(QRectF(-200, -10, 214, 20), 6, 6);
    QLinearGradient head(-205, 0, -145, 0);
    head.setColorAt(0, tone(QColor(60, 62, 70), grey));
    head.setColorAt(1, tone(QColor(110, 112, 120), grey));
    p.setBrush(head);
    QPainterPath hood;
    hood.moveTo(-210, 10);
    hood.lineTo(-140, 10);
    hood.lineTo(-150, 60);
    hood.lineTo(-200, 60);
    hood.closeSubpath();
    p.drawPath(hood);
    p.setBrush(tone(pose == Pose::Normal ? QColor(255, 90, 30) : QColor(140, 70, 50), grey));
    p.drawRect(QRectF(-198, 58, 46, 6));
    p.restore();

    if (pose == Pose::Normal) {
        // the heat from the upper heater onto the component
        p.setBrush(QColor(255, 120, 40, 60));
        QPainterPath glow;
        glow.moveTo(155, 124);
        glow.lineTo(199, 124);
        glow.lineTo(210, 150);
        glow.lineTo(144, 150);
        glow.closeSubpath();
        p.drawPath(glow);
    }
    if (grey) {
        p.setPen(QColor(180, 30, 30));
        p.setFont(QFont("Liberation Sans", 26, QFont::Bold));
        p.drawText(QRectF(0, 70, 300, 50), Qt::AlignCenter, "OFFLINE");
    }
    return img;
}

// The red tile of the product mark, h pixels square, with a stylised heat wave.
void drawTile(QPainter& p, double h) {
    p.setPen(Qt::NoPen);
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, QColor(226, 60, 30));
    g.setColorAt(1, QColor(150, 20, 10));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(0, 0, h, h), h / 5.0, h / 5.0);
    p.setPen(QPen(QColor(255, 220, 120), h / 12.0, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 3; ++i) {
        QPainterPath wave;
        const double x = h * (0.28 + 0.22 * i);
        wave.moveTo(x, h * 0.8);
        wave.cubicTo(x - h * 0.12, h * 0.6, x + h * 0.12, h * 0.45, x, h * 0.22);
        p.drawPath(wave);
    }
}

// The product mark: the tile and the name, in a colour that reads on the area the mark sits on.
QImage logo(int w, int h, const QColor& text) {
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    drawTile(p, h);
    p.setPen(text);
    QFont f("Liberation Sans", 1, QFont::Bold, true);
    f.setPixelSize(int(h * 0.55));
    p.setFont(f);
    p.drawText(QRectF(h + 3, 0, w - h - 3, h), Qt::AlignLeft | Qt::AlignVCenter, "KR-9300");
    return img;
}

// The desktop's icon for the program: the tile with a small margin.
QImage appIcon(int size) {
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const double margin = size / 16.0;
    p.translate(margin, margin);
    drawTile(p, size - 2 * margin);
    return img;
}

QImage icon(char kind) {
    QImage img(24, 24, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    switch (kind) {
        case 'c':  // connect: two plug halves joined, green
        case 'd': {  // disconnect: apart, red
            const bool joined = kind == 'c';
            const QColor c = joined ? QColor(20, 150, 60) : QColor(200, 40, 30);
            p.setPen(QPen(c, 2.5, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(2, 12), QPointF(7, 12));
            p.drawLine(QPointF(17, 12), QPointF(22, 12));
            p.setBrush(c);
            p.setPen(Qt::NoPen);
            const double gap = joined ? 0 : 3;
            p.drawRoundedRect(QRectF(6 - gap, 7, 6, 10), 2, 2);
            p.drawRoundedRect(QRectF(12 + gap, 7, 6, 10), 2, 2);
            break;
        }
        case 'p': {  // profile: a small curve on a chart
            p.setPen(QPen(QColor(60, 60, 70), 1.5));
            p.drawLine(QPointF(3, 3), QPointF(3, 21));
            p.drawLine(QPointF(3, 21), QPointF(21, 21));
            p.setPen(QPen(QColor(210, 50, 20), 2));
            QPainterPath c;
            c.moveTo(4, 19);
            c.cubicTo(9, 17, 11, 9, 14, 8);
            c.cubicTo(17, 7, 18, 5, 20, 14);
            p.drawPath(c);
            break;
        }
        case 'o': {  // options: a cog
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(90, 96, 110));
            p.translate(12, 12);
            for (int i = 0; i < 8; ++i) {
                p.drawRect(QRectF(-2, -11, 4, 6));
                p.rotate(45);
            }
            p.drawEllipse(QPointF(0, 0), 7, 7);
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(0, 0), 3, 3);
            break;
        }
        default: {  // exit: a door with an arrow
            p.setPen(QPen(QColor(90, 60, 30), 2));
            p.drawRect(QRectF(4, 3, 10, 18));
            p.setPen(QPen(QColor(200, 40, 30), 2.5, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(10, 12), QPointF(21, 12));
            p.drawLine(QPointF(21, 12), QPointF(17, 8));
            p.drawLine(QPointF(21, 12), QPointF(17, 16));
            break;
        }
    }
    return img;
}

bool save(const QImage& img, const QDir& dir, const char* name) {
    const bool ok = img.save(dir.filePath(name));
    if (!ok) std::fprintf(stderr, "draw_assets: cannot write %s\n", qPrintable(dir.filePath(name)));
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: draw_assets FOLDER\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(dir.path());
    bool ok = save(station(Pose::Offline), dir, "Parkmode Offline.jpg");
    ok &= save(station(Pose::Normal), dir, "NormalMode-1.jpg");
    ok &= save(station(Pose::Park), dir, "parkmode-1.jpg");
    ok &= save(logo(92, 22, QColor(60, 60, 70)), dir, "LogoS.png");
    ok &= save(logo(120, 28, QColor(200, 200, 210)), dir, "LogoSB.png");  // on black
    ok &= save(icon('c'), dir, "IconConnect.png");
    ok &= save(icon('d'), dir, "IconDisconnect.png");
    ok &= save(icon('p'), dir, "IconProfile.png");
    ok &= save(icon('o'), dir, "IconOptions.png");
    ok &= save(icon('x'), dir, "IconExit.png");
    ok &= save(appIcon(128), dir, "kr9300.png");
    return ok ? 0 : 1;
}
