#include "Desktop.h"

#include <QCursor>
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
#include <cctype>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Controls.h"
#include "Folders.h"
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

namespace {

// RFC 2396 escaping of a path, as trash records keep it.
std::string EscapePath(const std::string& Path) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : Path) {
        if (std::isalnum(c) || std::strchr("/-_.!~*'()", c))
            out += char(c);
        else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

// The highest folder above Path on the same file system.
std::filesystem::path TopDir(const std::filesystem::path& Path, dev_t Device) {
    std::filesystem::path top = Path;
    for (std::filesystem::path p = Path.parent_path(); !p.empty(); p = p.parent_path()) {
        struct stat st {};
        if (stat(p.c_str(), &st) != 0 || st.st_dev != Device) break;
        top = p;
        if (p == p.root_path()) break;
    }
    return top;
}

}  // namespace

bool MoveToTrash(const std::string& Path, std::string& Error) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path source = fs::absolute(Path, ec);
    struct stat src {};
    if (ec || lstat(source.c_str(), &src) != 0) {
        Error = "No such file or directory";
        return false;
    }
    // The home trash for files on its file system, else the volume's own.
    fs::path trash = fs::path(XdgDataHome()) / "Trash";
    fs::create_directories(XdgDataHome(), ec);
    struct stat home {};
    if (stat(XdgDataHome().c_str(), &home) != 0 || home.st_dev != src.st_dev)
        trash = TopDir(source.parent_path(), src.st_dev) / (".Trash-" + std::to_string(getuid()));
    fs::create_directories(trash / "files", ec);
    fs::create_directories(trash / "info", ec);
    if (ec) {
        Error = "Cannot make the trash folder " + trash.string() + ": " + ec.message();
        return false;
    }
    fs::permissions(trash, fs::perms::owner_all, fs::perm_options::replace, ec);
    // Claim a name by creating its record exclusively, then move the file in.
    const std::string name = source.filename().string();
    for (int n = 1; n < 10000; ++n) {
        const std::string candidate = n == 1 ? name : name + "." + std::to_string(n);
        const fs::path info = trash / "info" / (candidate + ".trashinfo");
        const int fd = open(info.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            Error = std::strerror(errno);
            return false;
        }
        char date[32];
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
        const std::string record =
            "[Trash Info]\nPath=" + EscapePath(source.string()) + "\nDeletionDate=" + date + "\n";
        const bool written = write(fd, record.data(), record.size()) == ssize_t(record.size());
        close(fd);
        if (written && !fs::exists(trash / "files" / candidate, ec)) {
            fs::rename(source, trash / "files" / candidate, ec);
            if (!ec) return true;
            Error = ec.message();
        } else if (!written) {
            Error = std::strerror(errno);
        } else {
            fs::remove(info, ec);
            continue;
        }
        fs::remove(info, ec);
        return false;
    }
    Error = "No free name in the trash";
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
                         case QSystemTrayIcon::Trigger:
                             send(WM_LBUTTONDOWN);
                             send(WM_LBUTTONUP);
                             break;
                         case QSystemTrayIcon::DoubleClick: send(WM_LBUTTONDBLCLK); break;
                         case QSystemTrayIcon::Context:
                             send(WM_RBUTTONDOWN);
                             send(WM_RBUTTONUP);
                             break;
                         case QSystemTrayIcon::MiddleClick:
                             send(WM_MBUTTONDOWN);
                             send(WM_MBUTTONUP);
                             break;
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
