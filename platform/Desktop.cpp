#include "Desktop.h"

#include <QCursor>
#include <QFile>
#include <QWidget>
#include <QWindow>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>

#include <algorithm>

#include "Controls.h"
#include "Messages.h"

TPoint GetCursorPos() {
    const QPoint p = QCursor::pos();
    return TPoint{p.x(), p.y()};
}

TColor GetScreenPixel(TPoint Pos) {
    QScreen* screen = QGuiApplication::screenAt(QPoint(Pos.X, Pos.Y));
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return clBlack;
    const QPoint origin = screen->geometry().topLeft();
    const QImage image = screen->grabWindow(0, Pos.X - origin.x(), Pos.Y - origin.y(), 1, 1).toImage();
    if (image.isNull() || image.width() < 1) return clBlack;
    const QRgb c = image.pixel(0, 0);
    return RGB(uint8_t(qRed(c)), uint8_t(qGreen(c)), uint8_t(qBlue(c)));
}

bool MoveToTrash(const std::string& Path, std::string& Error) {
    QFile file(QString::fromStdString(Path));
    if (file.moveToTrash()) return true;
    Error = file.errorString().toStdString();
    return false;
}

bool StartWindowDrag(TWinControl* Control) {
    QWidget* w = Control ? Control->WidgetIfAllocated() : nullptr;
    QWindow* window = w ? w->window()->windowHandle() : nullptr;
    return window && window->startSystemMove();
}

struct TTrayIconHost::TImpl {
    QSystemTrayIcon Icon;
    QTimer BalloonTimer;
};

TTrayIconHost::TTrayIconHost() : FImpl(std::make_unique<TImpl>()) {
    auto send = [this](unsigned m) {
        GuardedCall(nullptr, [&] {
            if (OnMessage) OnMessage(m);
        });
    };
    FImpl->BalloonTimer.setSingleShot(true);
    QObject::connect(&FImpl->BalloonTimer, &QTimer::timeout, &FImpl->Icon, [send] { send(NIN_BALLOONTIMEOUT); });
    QObject::connect(&FImpl->Icon, &QSystemTrayIcon::messageClicked, &FImpl->Icon, [this, send] {
        FImpl->BalloonTimer.stop();
        send(NIN_BALLOONUSERCLICK);
    });
    QObject::connect(&FImpl->Icon, &QSystemTrayIcon::activated, &FImpl->Icon,
                     [send](QSystemTrayIcon::ActivationReason reason) {
                         switch (reason) {
                         case QSystemTrayIcon::Trigger: send(WM_LBUTTONDOWN); send(WM_LBUTTONUP); break;
                         case QSystemTrayIcon::DoubleClick: send(WM_LBUTTONDBLCLK); break;
                         case QSystemTrayIcon::Context: send(WM_RBUTTONDOWN); send(WM_RBUTTONUP); break;
                         case QSystemTrayIcon::MiddleClick: send(WM_MBUTTONDOWN); send(WM_MBUTTONUP); break;
                         default: break;
                         }
                     });
}

TTrayIconHost::~TTrayIconHost() = default;

bool TTrayIconHost::Available() { return QSystemTrayIcon::isSystemTrayAvailable(); }

void TTrayIconHost::SetImage(TBitmap* Image) {
    FImpl->Icon.setIcon(Image && !Image->GetEmpty() ? QIcon(QPixmap::fromImage(Image->ToImage())) : QIcon());
}

void TTrayIconHost::SetToolTip(const std::string& Text) { FImpl->Icon.setToolTip(QString::fromStdString(Text)); }

void TTrayIconHost::SetVisible(bool Value) { FImpl->Icon.setVisible(Value); }

bool TTrayIconHost::Visible() const { return FImpl->Icon.isVisible(); }

void TTrayIconHost::ShowBalloon(const std::string& Title, const std::string& Text, int Type, int TimeoutMs) {
    static const QSystemTrayIcon::MessageIcon kinds[] = {QSystemTrayIcon::NoIcon, QSystemTrayIcon::Information,
                                                         QSystemTrayIcon::Warning, QSystemTrayIcon::Critical};
    FImpl->Icon.showMessage(QString::fromStdString(Title), QString::fromStdString(Text), kinds[Type & 3], TimeoutMs);
    if (OnMessage) OnMessage(NIN_BALLOONSHOW);
    FImpl->BalloonTimer.start(std::max(TimeoutMs, 0));
}
