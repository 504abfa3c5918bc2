#pragma once

#include <QString>
#include <QTemporaryDir>

// A fresh folder per test; removed afterwards.
class TempFolder {
public:
    TempFolder() : m_dir(QDir::tempPath() + QStringLiteral("/qvtest-XXXXXX")) {}
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString root() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

// The other projects' sample files for the import formats, when present beside the checkout.
QString SamplesDir();
