#include "recorder/app/form1.h"

#include "recorder/app/frmdrive.h"
#include "controls/windowaccessible.h"
#include "recorder/app/frmmain.h"
#include "recorder/app/recorderlook.h"
#include "recorder/core/settings.h"

#include "controls/multibuttonwidget.h"
#include "platform/launcher.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QUrl>
#include <QVBoxLayout>

namespace sonaveil::recorder {

Form1::Form1(const RecorderSetup& setup, QWidget* mainWindow)
    : QWidget(nullptr, Qt::Window), m_setup(setup), m_main(mainWindow)
{
    setObjectName(QStringLiteral("Form1"));
    controls::setWindowRole(this, QAccessible::Dialog);
    setWindowTitle(tr("Recording Help"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 14, 18, 14);
    layout->setSpacing(10);
    auto* title = new QLabel(tr("Recording Setup Information"), this);
    title->setObjectName(QStringLiteral("Label2"));
    QFont f = title->font();
    f.setPointSize(f.pointSize() + 5);
    f.setBold(true);
    title->setFont(f);
    layout->addWidget(title);
    auto* text = new QLabel(tr("If you are unsure about how to configure the recording settings of your "
                               "desktop, please click the appropriate button below"),
                            this);
    text->setObjectName(QStringLiteral("Label8"));
    text->setWordWrap(true);
    layout->addWidget(text);
    auto* pulse = makeButton(QStringLiteral("Command1"), tr("PulseAudio Setup Instructions"), {240, 28}, this);
    auto* pipewire = makeButton(QStringLiteral("Command2"), tr("PipeWire Setup Instructions"), {240, 28}, this);
    layout->addWidget(pulse, 0, Qt::AlignHCenter);
    layout->addWidget(pipewire, 0, Qt::AlignHCenter);
    auto* row = new QHBoxLayout;
    m_check = new QCheckBox(tr("Show this form in future"), this);
    m_check->setObjectName(QStringLiteral("chkLoadTipsAtStartup"));
    m_check->setChecked(true);
    row->addWidget(m_check);
    row->addStretch();
    auto* ok = makeButton(QStringLiteral("cmdOK"), tr("Close"), {80, 28}, this);
    row->addWidget(ok);
    layout->addLayout(row);

    connect(pulse, &controls::Multibutton::Click, this, &Form1::on_Command1_Click);
    connect(pipewire, &controls::Multibutton::Click, this, &Form1::on_Command2_Click);
    connect(ok, &controls::Multibutton::Click, this, &Form1::on_cmdOK_Click);
    connect(m_check, &QCheckBox::clicked, this, [this](bool on) { setShowRecordingHelp(*m_setup.store, on); });
    setFixedSize(sizeHint().expandedTo(QSize(400, 0)));
}

void Form1::on_Command1_Click()
{
    m_setup.launcher->open(QUrl::fromLocalFile(m_setup.programFolder + QStringLiteral("/help/recording-pulseaudio.html")));
}

void Form1::on_Command2_Click()
{
    m_setup.launcher->open(QUrl::fromLocalFile(m_setup.programFolder + QStringLiteral("/help/recording-pipewire.html")));
}

void Form1::on_cmdOK_Click()
{
    if (m_main) {
        m_main->raise();
        m_main->activateWindow();
    }
    close();
}

} // namespace sonaveil::recorder
