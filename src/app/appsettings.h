#pragma once

#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QSettings;

// What the program keeps between runs in its settings file, and the rules that read it back.
// The parsing functions need no windows; CAppSettings reads and writes the file.
namespace appsettings {

constexpr int kRecentShown = 4;   // entries kept and shown in the File menu
constexpr int kRecentScanned = 16; // entries looked at when pruning
constexpr unsigned kDefaultFrameColor = 8388608; // navy, red in the low byte
constexpr unsigned kDefaultTextColor = 16777215; // white

// Window edges as stored: left, top, right, bottom.
struct FrameRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const FrameRect&) const = default;
    QRect ToQRect() const { return QRect(left, top, right - left, bottom - top); }
    static FrameRect FromQRect(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }
};

// 10, 10 and nine tenths of the screen.
FrameRect DefaultFrameRect(int screenWidth, int screenHeight);
// "%04d %04d %04d %04d"; the four numbers stand at characters 0, 5, 10 and 15. A short or
// damaged text, or one that gives no area, yields the fallback.
FrameRect ParseFrameRect(const QString& text, const FrameRect& fallback);
QString FormatFrameRect(const FrameRect& rect);
// The rectangle moved (and, if it is larger, shrunk) so that it lies wholly inside the
// available area of a screen: a position stored on a screen that is gone stays reachable.
FrameRect FitFrameRect(const FrameRect& rect, const QRect& available);

struct CaptionColors {
    unsigned frame = kDefaultFrameColor;
    unsigned text = kDefaultTextColor;
    bool operator==(const CaptionColors&) const = default;
};
// Both stored colours are taken when either is non-zero; otherwise the defaults.
CaptionColors ParseCaptionColors(const QString& frame, const QString& text);

// Decimal text; anything else (or a missing value) is the fallback.
int ParseInt(const QString& text, int fallback);

// The stored entries File1.. in order, up to the first empty one, without those whose file
// is gone.
QStringList PruneRecentFiles(const QStringList& stored, const std::function<bool(const QString&)>& exists);
// The list after opening path: it goes first, once, and at most kRecentShown are kept.
QStringList AddRecentFile(const QStringList& list, const QString& path);
// A menu-sized form of a path: at most maxLength characters, the file name kept whole.
QString AbbreviatePath(const QString& path, int maxLength = 30);

} // namespace appsettings

// The settings file: QSettings in INI form under the user's scope, "Pellor Software/Quorvane".
class CAppSettings {
public:
    CAppSettings();
    ~CAppSettings();

    // Reads "Recent File List", drops the entries whose file is gone and writes the rest back.
    QStringList LoadRecentFiles();
    void SaveRecentFiles(const QStringList& files);

    int PreviewPages();

    appsettings::FrameRect FrameRect(int screenWidth, int screenHeight);
    bool Iconic();
    bool Maximized();
    appsettings::CaptionColors CaptionColors();
    void SaveFramePlacement(const appsettings::FrameRect& rect, bool iconic, bool maximized);
    void SaveCaptionColors(const appsettings::CaptionColors& colors);
    // Whether the tool bar and the status bar were shown when the frame last closed (default yes).
    bool ToolBarVisible();
    bool StatusBarVisible();
    void SaveBarVisibility(bool toolBar, bool statusBar);

    void Sync();

private:
    QString Text(const QString& section, const QString& key);
    std::unique_ptr<QSettings> m_settings;
};
