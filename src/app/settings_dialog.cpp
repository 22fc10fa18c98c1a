#include "app/settings_dialog.h"

#include "platform/ui/project_text_guard.h"
#include "app/shell_state.h"
#include "link/transport.h"
#include "platform/interaction.h"
#include "workspace/new_project.h"
#include "workspace/workspace.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace ostrel {

namespace {

QLabel* makeLabel(const QString& text, const char* name, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

} // namespace

int32_t leadingNumber(const QString& text)
{
    int i = 0;
    const int n = int(text.size());
    while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    int64_t value = 0;
    for (; i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
        value = value * 10 + (text[i].unicode() - '0');
        if (value > int64_t(INT32_MAX) + 1)
            return 0;
    }
    if (negative)
        value = -value;
    if (value > INT32_MAX || value < INT32_MIN)
        return 0;
    return int32_t(value);
}

SettingsDialog::SettingsDialog(Workspace& ws, ShellState& shell, Interaction& ui, QWidget* parent)
    : QDialog(parent), ws_(ws), shell_(shell), ui_(ui), deviceName_(defaultSerialDeviceName),
      devicePresent_(serialDevicePresent)
{
    setObjectName(QStringLiteral("Config_Project"));
    setWindowTitle(QStringLiteral("Проект"));

    name_ = new QLineEdit(QStringLiteral("Имя"), this);
    name_->setObjectName(QStringLiteral("Name_Project_Text"));

    portList_ = new QComboBox(this);
    portList_->setObjectName(QStringLiteral("Combo1"));
    // The COM items begin with the Cyrillic letter Es, as the controller
    // documentation spells them.
    for (int i = 1; i <= LinkSettings::kComPorts; ++i)
        portList_->addItem(QString(QChar(0x0421)) + QStringLiteral("OM%1").arg(i));
    portList_->addItem(QStringLiteral("TCP/IP"));
    portList_->setCurrentIndex(-1);

    controllerList_ = new QComboBox(this);
    controllerList_->setObjectName(QStringLiteral("Combo2"));
    for (int i = 1; i <= LinkSettings::kControllers; ++i)
        controllerList_->addItem(QStringLiteral("№%1").arg(i));
    controllerList_->setCurrentIndex(-1);

    schema_ = new QLineEdit(kNoNetlist, this);
    schema_->setObjectName(QStringLiteral("Name_Schema_text"));
    schema_->setReadOnly(true);
    load_ = new QPushButton(QStringLiteral("Загрузить"), this);
    load_->setObjectName(QStringLiteral("Load_Key_SCHEMA"));
    load_->setAutoDefault(false);

    ip_ = new QLineEdit(this);
    ip_->setObjectName(QStringLiteral("IP_address"));
    tcpPort_ = new QLineEdit(this);
    tcpPort_->setObjectName(QStringLiteral("Port"));

    ok_ = new QPushButton(QStringLiteral("Ok"), this);
    ok_->setObjectName(QStringLiteral("Ok"));
    ok_->setAutoDefault(false);
    cancel_ = new QPushButton(QStringLiteral("Отмена"), this);
    cancel_->setObjectName(QStringLiteral("Cancel"));
    cancel_->setAutoDefault(false);

    ipLabel_ = makeLabel(QStringLiteral("IP address:"), "Label_IP", this);
    tcpPortLabel_ = makeLabel(QStringLiteral("Port:"), "Label_Port", this);
    // Which device the chosen COM port is on this machine: a write to a port
    // with nothing behind it would otherwise seem to succeed.
    device_ = makeLabel(QString(), "Com_Device", this);

    auto* grid = new QGridLayout(this);
    grid->addWidget(makeLabel(QStringLiteral("Имя проекта"), "Label_Name", this), 0, 0);
    grid->addWidget(name_, 0, 1, 1, 2);
    grid->addWidget(makeLabel(QStringLiteral("Номер COM"), "Label_COM", this), 1, 0);
    grid->addWidget(portList_, 1, 1);
    grid->addWidget(device_, 1, 2);
    grid->addWidget(makeLabel(QStringLiteral("Номер Ostrel"), "Label_Ostrel", this), 2, 0);
    grid->addWidget(controllerList_, 2, 1);
    // "Cхема" begins with a Latin C, as the window has always shown it.
    grid->addWidget(makeLabel(QStringLiteral("Cхема P-CAD ASCII"), "Label_Schema", this), 3, 0);
    grid->addWidget(schema_, 3, 1);
    grid->addWidget(load_, 3, 2);
    grid->addWidget(ipLabel_, 4, 0);
    grid->addWidget(ip_, 4, 1, 1, 2);
    grid->addWidget(tcpPortLabel_, 5, 0);
    grid->addWidget(tcpPort_, 5, 1, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    grid->addLayout(buttons, 6, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    resize(460, 230);

    connect(portList_, &QComboBox::currentIndexChanged, this, &SettingsDialog::portSelected);
    connect(controllerList_, &QComboBox::currentIndexChanged, this, &SettingsDialog::controllerSelected);
    connect(load_, &QPushButton::clicked, this, &SettingsDialog::loadNetlist);
    connect(ok_, &QPushButton::clicked, this, &SettingsDialog::confirm);
    connect(cancel_, &QPushButton::clicked, this, &SettingsDialog::reject);

    applyPortRule();
    guardProjectTexts(this, ui_);
}

void SettingsDialog::fillCommon()
{
    name_->setText(ws_.settings.project_name);
}

void SettingsDialog::openForNewProject()
{
    shell_.settings_reopened = 0;
    fillCommon();
    schema_->setText(kNoNetlist);
    {
        // Nothing is selected, so nothing is applied to the settings.
        const QSignalBlocker b1(portList_), b2(controllerList_);
        portList_->setCurrentIndex(-1);
        controllerList_->setCurrentIndex(-1);
    }
    ip_->clear();
    tcpPort_->clear();
    applyPortRule();
    ok_->setEnabled(false);
    show();
    raise();
    activateWindow();
}

void SettingsDialog::openForSettings()
{
    shell_.settings_reopened = 1;
    fillCommon();
    const ProjectSettings& s = ws_.settings;
    schema_->setText(s.netlist_path);
    updateOk();
    // Copies first: selecting a list item writes the settings back.
    const int port = s.link_port, controller = s.controller_number;
    const QString ip = s.ip_address;
    const int32_t tcp = s.tcp_port;
    portList_->setCurrentIndex(port >= LinkSettings::kFirstComPort && port <= LinkSettings::kTcpPort ? port - 1 : -1);
    applyPortRule();
    ip_->setText(ip);
    tcpPort_->setText(QString::number(tcp));
    controllerList_->setCurrentIndex(controller >= 1 && controller <= LinkSettings::kControllers ? controller - 1 : -1);
    show();
    raise();
    activateWindow();
}

void SettingsDialog::setTransferActive(bool active)
{
    setEnabled(!active);
}

void SettingsDialog::portSelected(int index)
{
    if (index < 0)
        return;
    ws_.settings.link_port = int16_t(index + 1);
    applyPortRule();
}

void SettingsDialog::controllerSelected(int index)
{
    if (index < 0)
        return;
    ws_.settings.controller_number = int16_t(index + 1);
}

void SettingsDialog::applyPortRule()
{
    const bool tcp = ws_.settings.usesTcp();
    for (QWidget* w : {static_cast<QWidget*>(ip_), static_cast<QWidget*>(tcpPort_),
                       static_cast<QWidget*>(ipLabel_), static_cast<QWidget*>(tcpPortLabel_)})
        w->setEnabled(tcp);
    showDevice();
}

void SettingsDialog::setSerialDeviceLookup(std::function<QString(int)> name,
                                           std::function<bool(const QString&)> present)
{
    deviceName_ = std::move(name);
    devicePresent_ = std::move(present);
    showDevice();
}

void SettingsDialog::showDevice()
{
    const int port = ws_.settings.link_port;
    if (port < 1 || port > 8 || !deviceName_) {
        device_->clear();
        return;
    }
    const QString device = deviceName_(port);
    if (devicePresent_ && devicePresent_(device))
        device_->setText(QStringLiteral("Устройство: ") + device);
    else
        device_->setText(QStringLiteral("Устройства нет (") + device + u')');
}

void SettingsDialog::updateOk()
{
    ok_->setEnabled(schema_->text() != kNoNetlist);
}

void SettingsDialog::loadNetlist()
{
    const QString path = ui_.openFile(kNetlistFilter, QDir::currentPath());
    if (path.isEmpty())
        return; // cancelled: the scheme stays as it was
    if (!importProjectNetlist(ws_, path, ui_)) {
        ui_.message(netlistOpenError(path), QString(), MessageIcon::Error);
        return;
    }
    schema_->setText(ws_.settings.netlist_path);
    updateOk();
    emit netlistImported();
}

void SettingsDialog::confirm()
{
    if (!ok_->isEnabled())
        return;
    ProjectSettings& s = ws_.settings;
    s.project_name = name_->text();
    s.ip_address = ip_->text();
    s.tcp_port = leadingNumber(tcpPort_->text());
    const bool newProject = shell_.settings_reopened == 0;
    emit confirmed(newProject);
    if (newProject)
        resetForNewProject(ws_);
    shell_.settings_reopened = 0;
    accept();
}

void SettingsDialog::reject()
{
    shell_.settings_reopened = 0;
    QDialog::reject();
}

} // namespace ostrel
