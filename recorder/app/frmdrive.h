#pragma once

#include <QWidget>

class QTreeWidget;
class QTreeWidgetItem;

namespace sonaveil::platform {
class DiskSpace;
}

namespace sonaveil::recorder {

// "Available Drive Space": the fixed file systems with their sizes. A click on a row chooses the
// file system whose free space the main window shows and guards.
class frmDRIVE : public QWidget {
    Q_OBJECT
public:
    explicit frmDRIVE(const platform::DiskSpace& disk, QWidget* parent = nullptr);

    QTreeWidget* list() const { return m_list; }

signals:
    void driveChosen(const QString& mountPoint);

private:
    void fill();

    const platform::DiskSpace& m_disk;
    QTreeWidget* m_list;
};

// The small drive picture of the list's rows, drawn by code.
QIcon driveIcon();

} // namespace sonaveil::recorder
