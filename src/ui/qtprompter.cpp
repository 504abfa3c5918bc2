#include "qtprompter.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace {

QMessageBox::StandardButton ToButton(CPrompter::Answer a) {
    switch (a) {
    case CPrompter::Answer::Ok: return QMessageBox::Ok;
    case CPrompter::Answer::Cancel: return QMessageBox::Cancel;
    case CPrompter::Answer::Yes: return QMessageBox::Yes;
    case CPrompter::Answer::No: return QMessageBox::No;
    }
    return QMessageBox::NoButton;
}

} // namespace

CPrompter::Answer CQtPrompter::MessageBox(const QString& text, Buttons buttons, Icon icon,
                                          Answer defaultAnswer) {
    QMessageBox box(m_parent);
    box.setWindowTitle(QApplication::applicationName());
    box.setText(text);
    switch (icon) {
    case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Warning: box.setIcon(QMessageBox::Warning); break;
    case Icon::Error: box.setIcon(QMessageBox::Critical); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    }
    QMessageBox::StandardButtons set = QMessageBox::Ok;
    switch (buttons) {
    case Buttons::Ok: set = QMessageBox::Ok; break;
    case Buttons::OkCancel: set = QMessageBox::Ok | QMessageBox::Cancel; break;
    case Buttons::YesNo: set = QMessageBox::Yes | QMessageBox::No; break;
    case Buttons::YesNoCancel: set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel; break;
    }
    box.setStandardButtons(set);
    const QMessageBox::StandardButton def = ToButton(defaultAnswer);
    if (set.testFlag(def)) box.setDefaultButton(def);

    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Ok: return Answer::Ok;
    default:
        // Escape or the close box: the answer that backs out.
        if (set.testFlag(QMessageBox::Cancel)) return Answer::Cancel;
        if (buttons == Buttons::YesNo) return Answer::No;
        return Answer::Ok;
    }
}

QString CQtPrompter::QtFilter(const QString& filter) {
    QStringList parts = filter.split(QLatin1Char('|'));
    while (!parts.isEmpty() && parts.last().isEmpty()) parts.removeLast();
    QStringList out;
    for (int i = 0; i < parts.size(); i += 2) {
        QString name = parts[i].trimmed();
        const QString pattern = i + 1 < parts.size() ? parts[i + 1].trimmed() : QString();
        if (name.isEmpty()) continue;
        // Qt reads the patterns from the parentheses; add them when the name has none.
        if (!name.contains(QLatin1Char('(')) && !pattern.isEmpty())
            name += QStringLiteral(" (%1)").arg(QString(pattern).replace(QLatin1Char(';'), QLatin1Char(' ')));
        out << name;
    }
    return out.join(QStringLiteral(";;"));
}

QColor CQtPrompter::ToQColor(unsigned c) {
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

unsigned CQtPrompter::FromQColor(const QColor& color) {
    return unsigned(color.red()) | (unsigned(color.green()) << 8) | (unsigned(color.blue()) << 16);
}

QString CQtPrompter::RunFileDialog(const FileRequest& request, bool save) {
    QFileDialog dialog(m_parent, request.title);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QString filter = QtFilter(request.filter);
    if (!filter.isEmpty()) dialog.setNameFilter(filter);
    if (!request.defaultExt.isEmpty()) dialog.setDefaultSuffix(request.defaultExt);
    if (!request.confirmOverwrite) dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (!request.initialPath.isEmpty()) {
        const QFileInfo info(request.initialPath);
        if (info.isDir()) {
            dialog.setDirectory(info.absoluteFilePath());
        } else {
            dialog.setDirectory(info.absolutePath());
            dialog.selectFile(info.fileName());
        }
    }
    if (dialog.exec() != QDialog::Accepted) return {};
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}

QString CQtPrompter::GetOpenFileName(const FileRequest& request) { return RunFileDialog(request, false); }

QString CQtPrompter::GetSaveFileName(const FileRequest& request) { return RunFileDialog(request, true); }

bool CQtPrompter::ChooseColor(unsigned& rgb) {
    const QColor chosen = QColorDialog::getColor(ToQColor(rgb), m_parent);
    if (!chosen.isValid()) return false;
    rgb = FromQColor(chosen);
    return true;
}

int CQtPrompter::ExecDialog(QDialog& dialog) { return dialog.exec(); }
