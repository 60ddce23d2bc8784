#include "recorder/app/frmdrive.h"

#include "recorder/core/diskguard.h"
#include "controls/windowaccessible.h"

#include <QShortcut>

#include "controls/multibuttonwidget.h"
#include "platform/diskspace.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLocale>
#include <QPainter>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace sonaveil::recorder {

QIcon driveIcon()
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(60, 60, 60));
    p.setBrush(QColor(190, 190, 196));
    p.drawRoundedRect(QRectF(1.5, 4.5, 13, 8), 1.5, 1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 200, 70));
    p.drawRect(QRectF(11, 9, 2, 2));
    p.setBrush(QColor(120, 120, 128));
    p.drawRect(QRectF(3, 9, 6, 1));
    return QIcon(pm);
}

frmDRIVE::frmDRIVE(const platform::DiskSpace& disk, QWidget* parent)
    // No close box: the window closes through its own button.
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_disk(disk)
{
    setObjectName(QStringLiteral("frmDRIVE"));
    controls::setWindowRole(this, QAccessible::Dialog);
    setWindowTitle(tr("Available Drive Space"));
    auto* layout = new QVBoxLayout(this);
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("lsvDrives"));
    m_list->setAccessibleName(tr("Drives"));
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({tr("Volume"), tr("Total Space"), tr("Free Space"),
                             tr("Used Space"), tr("Drive Type")});
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int c = 1; c < 5; ++c)
        m_list->header()->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    layout->addWidget(m_list);
    auto* close = new controls::Multibutton(QStringLiteral("cmdquit"), this);
    close->setButtonStyle(0);
    close->setCaption(tr("Close"));
    close->setFixedSize(80, 26);
    close->setFocusPolicy(Qt::StrongFocus);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(close);
    layout->addLayout(row);
    connect(close, &controls::Multibutton::Click, this, &QWidget::close);
    new QShortcut(QKeySequence::Cancel, this, this, &QWidget::close);
    connect(m_list, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { emit driveChosen(item->text(0)); });
    connect(m_list, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { emit driveChosen(item->text(0)); });
    resize(520, 240);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect r = screen->geometry();
        move((r.width() - width()) / 2, (r.height() - height()) / 2);
    }
    fill();
}

void frmDRIVE::fill()
{
    const auto volumes = m_disk.volumes();
    m_list->clear();
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const QString separator = QLocale().groupSeparator();
    const QIcon icon = driveIcon();
    for (const platform::VolumeSpace& v : volumes) {
        if (!v.fixed)
            continue;
        auto* item = new QTreeWidgetItem(m_list);
        item->setIcon(0, icon);
        item->setText(0, v.mountPoint);
        item->setData(0, Qt::UserRole, v.mountPoint);
        item->setText(1, sizeText(v.total, separator));
        item->setText(2, sizeText(v.available, separator));
        item->setText(3, sizeText(v.total - v.free, separator));
        item->setText(4, driveTypeName(2));
        for (int c = 1; c < 4; ++c)
            item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    }
    QGuiApplication::restoreOverrideCursor();
}

} // namespace sonaveil::recorder
