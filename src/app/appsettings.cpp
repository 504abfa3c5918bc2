#include "appsettings.h"

#include <QFileInfo>
#include <algorithm>
#include <QSettings>

namespace appsettings {

FrameRect DefaultFrameRect(int screenWidth, int screenHeight) {
    return {10, 10, screenWidth * 9 / 10, screenHeight * 9 / 10};
}

FrameRect ParseFrameRect(const QString& text, const FrameRect& fallback) {
    if (text.size() < 19) return fallback;
    int v[4];
    for (int k = 0; k < 4; ++k) {
        bool ok = false;
        v[k] = text.mid(k * 5, 4).trimmed().toInt(&ok);
        if (!ok) return fallback;
    }
    const FrameRect r{v[0], v[1], v[2], v[3]};
    if (r.right <= r.left || r.bottom <= r.top) return fallback;
    return r;
}

QString FormatFrameRect(const FrameRect& r) {
    return QString::asprintf("%04d %04d %04d %04d", r.left, r.top, r.right, r.bottom);
}

FrameRect FitFrameRect(const FrameRect& rect, const QRect& available) {
    if (!available.isValid()) return rect;
    const int width = std::min(rect.right - rect.left, available.width());
    const int height = std::min(rect.bottom - rect.top, available.height());
    const int left = std::clamp(rect.left, available.left(), available.left() + available.width() - width);
    const int top = std::clamp(rect.top, available.top(), available.top() + available.height() - height);
    return {left, top, left + width, top + height};
}

int ParseInt(const QString& text, int fallback) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok ? v : fallback;
}

namespace {
unsigned ParseColor(const QString& text) {
    bool ok = false;
    const qulonglong v = text.trimmed().toULongLong(&ok);
    return ok && v <= 0xFFFFFFu ? unsigned(v) : 0u;
}
} // namespace

CaptionColors ParseCaptionColors(const QString& frame, const QString& text) {
    const unsigned f = ParseColor(frame);
    const unsigned t = ParseColor(text);
    // Two zeros are what a fresh or damaged file reads as, not a black-on-black choice.
    if (f == 0 && t == 0) return {};
    return {f, t};
}

QStringList PruneRecentFiles(const QStringList& stored, const std::function<bool(const QString&)>& exists) {
    QStringList kept;
    for (int n = 0; n < stored.size() && n < kRecentScanned; ++n) {
        if (stored[n].isEmpty()) break;
        if (exists(stored[n])) kept << stored[n];
    }
    return kept;
}

QStringList AddRecentFile(const QStringList& list, const QString& path) {
    QStringList out{path};
    for (const QString& f : list)
        if (f != path && out.size() < kRecentShown) out << f;
    return out;
}

QString AbbreviatePath(const QString& path, int maxLength) {
    if (path.size() <= maxLength) return path;
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    const QString name = path.mid(slash + 1);
    if (slash < 0 || name.size() + 4 > maxLength) return name.left(maxLength);
    // Keep the root, then as many of the last folders as fit behind "...".
    const QString head = path.startsWith(QLatin1Char('/')) ? QStringLiteral("/") : QString();
    QString tail = QStringLiteral("/") + name;
    QString folders = path.left(slash);
    while (true) {
        const int cut = folders.lastIndexOf(QLatin1Char('/'));
        const QString folder = folders.mid(cut + 1);
        const QString longer = QStringLiteral("/") + folder + tail;
        if (cut < 0 || folder.isEmpty() || head.size() + 3 + longer.size() > maxLength) break;
        tail = longer;
        folders = folders.left(cut);
    }
    return head + QStringLiteral("...") + tail;
}

} // namespace appsettings

using namespace appsettings;

namespace {
const QString kRecentSection = QStringLiteral("Recent File List");
const QString kSettingsSection = QStringLiteral("Settings");
const QString kFrameSection = QStringLiteral("Frame Window");
const QString kBarsSection = QStringLiteral("Control Bars");
} // namespace

CAppSettings::CAppSettings()
    : m_settings(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                             QStringLiteral("Pellor Software"), QStringLiteral("Quorvane"))) {}

CAppSettings::~CAppSettings() = default;

QString CAppSettings::Text(const QString& section, const QString& key) {
    // A value a damaged file turns into a list or a number reads as text or as nothing.
    const QVariant v = m_settings->value(section + QLatin1Char('/') + key);
    if (v.typeId() == QMetaType::QStringList) return v.toStringList().join(QLatin1Char(','));
    return v.canConvert<QString>() ? v.toString() : QString();
}

QStringList CAppSettings::LoadRecentFiles() {
    QStringList stored;
    for (int n = 1; n <= kRecentScanned; ++n) {
        const QString f = Text(kRecentSection, QStringLiteral("File%1").arg(n));
        if (f.isEmpty()) break;
        stored << f;
    }
    QStringList kept = PruneRecentFiles(stored, [](const QString& f) { return QFileInfo::exists(f); });
    while (kept.size() > kRecentShown) kept.removeLast();
    SaveRecentFiles(kept);
    return kept;
}

void CAppSettings::SaveRecentFiles(const QStringList& files) {
    m_settings->beginGroup(kRecentSection);
    for (int n = 1; n <= kRecentScanned; ++n) {
        const QString key = QStringLiteral("File%1").arg(n);
        if (n <= files.size()) m_settings->setValue(key, files[n - 1]);
        else m_settings->remove(key);
    }
    m_settings->endGroup();
}

int CAppSettings::PreviewPages() { return ParseInt(Text(kSettingsSection, QStringLiteral("PreviewPages")), 0); }

appsettings::FrameRect CAppSettings::FrameRect(int screenWidth, int screenHeight) {
    return ParseFrameRect(Text(kFrameSection, QStringLiteral("Frame Rect")), DefaultFrameRect(screenWidth, screenHeight));
}

bool CAppSettings::Iconic() { return ParseInt(Text(kFrameSection, QStringLiteral("Iconic")), 0) != 0; }

bool CAppSettings::Maximized() { return ParseInt(Text(kFrameSection, QStringLiteral("Maximized")), 0) != 0; }

appsettings::CaptionColors CAppSettings::CaptionColors() {
    return ParseCaptionColors(Text(kFrameSection, QStringLiteral("ChildCapFrameColor")),
                              Text(kFrameSection, QStringLiteral("ChildCapTextColor")));
}

void CAppSettings::SaveFramePlacement(const appsettings::FrameRect& rect, bool iconic, bool maximized) {
    m_settings->beginGroup(kFrameSection);
    m_settings->setValue(QStringLiteral("Frame Rect"), FormatFrameRect(rect));
    m_settings->setValue(QStringLiteral("Iconic"), QString::number(iconic ? 1 : 0));
    m_settings->setValue(QStringLiteral("Maximized"), QString::number(maximized ? 1 : 0));
    m_settings->endGroup();
}

void CAppSettings::SaveCaptionColors(const appsettings::CaptionColors& colors) {
    m_settings->beginGroup(kFrameSection);
    m_settings->setValue(QStringLiteral("ChildCapFrameColor"), QString::number(colors.frame));
    m_settings->setValue(QStringLiteral("ChildCapTextColor"), QString::number(colors.text));
    m_settings->endGroup();
}

bool CAppSettings::ToolBarVisible() { return ParseInt(Text(kBarsSection, QStringLiteral("ToolBar")), 1) != 0; }

bool CAppSettings::StatusBarVisible() { return ParseInt(Text(kBarsSection, QStringLiteral("StatusBar")), 1) != 0; }

void CAppSettings::SaveBarVisibility(bool toolBar, bool statusBar) {
    m_settings->beginGroup(kBarsSection);
    m_settings->setValue(QStringLiteral("ToolBar"), QString::number(toolBar ? 1 : 0));
    m_settings->setValue(QStringLiteral("StatusBar"), QString::number(statusBar ? 1 : 0));
    m_settings->endGroup();
}

void CAppSettings::Sync() { m_settings->sync(); }
