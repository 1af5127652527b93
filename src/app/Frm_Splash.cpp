#include "Frm_Splash.h"

#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>

namespace qv {

Frm_Splash::Frm_Splash(const QString& home, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint),
      Image1(new QLabel(this)),
      Label_Status(new QLabel(this)) {
    setObjectName(QStringLiteral("Frm_Splash"));
    Image1->setObjectName(QStringLiteral("Image1"));
    Label_Status->setObjectName(QStringLiteral("Label_Status"));
    setFixedSize(kWidth, kHeight);

    // A missing or unreadable picture leaves the window blank.
    Image1->setGeometry(0, 0, kWidth, kHeight);
    Image1->setScaledContents(true);
    const QPixmap picture(QDir(home).filePath(QStringLiteral("IMG/Splash.bmp")));
    if (!picture.isNull()) Image1->setPixmap(picture);

    Label_Status->setGeometry(12, kHeight - 28, kWidth - 24, 20);
    Label_Status->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Label_Status->setText(QStringLiteral("正在读取参数..."));
    // Light text on the picture; the palette's own colour on a blank window.
    if (!picture.isNull()) Label_Status->setStyleSheet(QStringLiteral("color: white;"));
    // Clicks on the picture or the status line reach the window, which closes.
    Image1->setAttribute(Qt::WA_TransparentForMouseEvents);
    Label_Status->setAttribute(Qt::WA_TransparentForMouseEvents);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(kWidth / 2, kHeight / 2));
    }
}

void Frm_Splash::SetStatus(const QString& text) {
    Label_Status->setText(text);
    if (isVisible()) repaint();
}

QString Frm_Splash::status() const { return Label_Status->text(); }

void Frm_Splash::mousePressEvent(QMouseEvent* event) {
    event->accept();
    close();
}

}  // namespace qv
