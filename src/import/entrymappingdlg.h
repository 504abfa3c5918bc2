#pragma once

#include <QDialog>
#include <QStringList>
#include <vector>

class QListWidget;

// "Entry Mapping Dialog": which source field feeds each destination field. Lines that name an
// identifier ("ID") are not shown; they keep their automatic match.
class CEntryMappingDlg : public QDialog {
    Q_OBJECT
public:
    // sourceEntries: "name\ttype" of the source; destination: "name\ttype" of the destination.
    // note: shown under the lists when not empty.
    CEntryMappingDlg(const QString& title, const QStringList& sourceEntries, const QStringList& destination,
                     const QString& note = QString(), QWidget* parent = nullptr);
    // The destination lines, each "name\ttype\t= source line" or "... = <no match>".
    const QStringList& Mapping() const { return m_mapping; }
    // Replaces the mapping (a remembered one) and shows it.
    void SetMapping(const QStringList& mapping);

private:
    void Fill();
    void OnDestinationClicked(int row);

    QListWidget* m_source;
    QListWidget* m_destination;
    QStringList m_mapping;
    std::vector<int> m_shownEntry; // the mapping line each right row shows
    QString m_currentSource;
};
