// The main window's page bar and the switching between the sound pages and My Sounds.
#include "player/app/mainwindow.h"

#include "controls/multibuttonwidget.h"
#include "player/app/windowlook.h"

#include <QHBoxLayout>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace sonaveil::player {

using controls::Multibutton;
using look::label;

QString MainWindow::pageTitle(int page)
{
    switch (page) {
    case 1: return tr("No&ise");
    case 2: return tr("Nat&ure");
    case 3: return tr("&Machines");
    case 4: return tr("Hous&ehold");
    default: return {};
    }
}

QWidget* MainWindow::buildPageBar()
{
    auto* bar = new QWidget(this);
    m_pageBar = bar;
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    row->addWidget(label(tr("Sounds:"), bar, true));
    for (int p = 1; p <= kPageCount; ++p) {
        auto* b = makeButton(QString("pageButton%1").arg(p), pageTitle(p), 96, bar);
        b->setCheckBoxMode(true);
        b->setRolloverColor(std::nullopt);
        m_pageButtons[std::size_t(p - 1)] = b;
        connect(b, &Multibutton::Click, this, [this, p] { showPage(p); });
        row->addWidget(b);
    }
    row->addStretch();
    auto* stopAll = makeButton("stopAllButton", tr("&Stop all"), 96, bar, tr("Switch off every sound on every page"));
    connect(stopAll, &Multibutton::Click, this, [this] {
        m_mix.stopAll();
        emit stopAllClicked();
    });
    row->addWidget(stopAll);
    return bar;
}

void MainWindow::addMySoundsPage(QWidget* page, QWidget* footer)
{
    if (m_myPageButton)
        return;
    m_pages->addWidget(page);
    m_myFooter = footer;
    auto* layout = static_cast<QVBoxLayout*>(m_stepRow->parentWidget()->layout());
    layout->insertWidget(layout->indexOf(m_stepRow) + 1, footer);
    footer->hide();
    m_myPageButton = makeButton("pageButtonMySounds", tr("My Sounds"), 96, m_pageBar);
    m_myPageButton->setCheckBoxMode(true);
    m_myPageButton->setToolTip(tr("Your own sounds and music"));
    auto* row = static_cast<QHBoxLayout*>(m_pageBar->layout());
    row->insertWidget(row->indexOf(m_pageButtons.back()) + 1, m_myPageButton);
    connect(m_myPageButton, &Multibutton::Click, this, [this] { showPage(kMySoundsPage); });
    setTabOrder(m_pageButtons.back(), m_myPageButton);
    setFixedSize(sizeHint().expandedTo(size()));
}

void MainWindow::showPage(int page)
{
    const bool mine = page == kMySoundsPage && m_myPageButton;
    if ((page < 1 || page > kPageCount) && !mine)
        return;
    m_page = page;
    m_pages->setCurrentIndex(page - 1);
    for (int p = 1; p <= kPageCount; ++p)
        m_pageButtons[std::size_t(p - 1)]->setValue(p == page);
    if (m_myPageButton) {
        m_myPageButton->setValue(mine);
        m_stepRow->setVisible(!mine);
        m_myFooter->setVisible(mine);
        if (mine)
            return;
    }
    // The frequency steps would do nothing on a page whose sounds have no pitch; their place
    // stays empty so that the other buttons do not move.
    bool pitched = false;
    for (int sound : catalogue::soundsOnPage(page))
        pitched = pitched || catalogue::sound(sound).pitchSlider != 0;
    for (const char* name : {"chameleonButton18", "chameleonButton19", "chameleonButton20", "chameleonButton21"})
        if (Multibutton* b = button(name))
            b->setVisible(pitched);
}

} // namespace sonaveil::player
