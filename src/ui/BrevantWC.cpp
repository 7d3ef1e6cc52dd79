#include "BrevantWC.h"

#include "IntValue.h"
#include "Log.h"
#include "PopUpButton.h"
#include "SprintDates.h"
#include "SprintReportWC.h"
#include "ui_BrevantWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QToolButton>

#include <array>

namespace {

const char *const kIdentifierProperty = "identifier";

struct Length
{
    const char *title;
    qint64 days;
};

// Tag 0 stands for every length that no other item names.
constexpr std::array kLengths{Length{"1 day", 1},    Length{"1 week", 7},   Length{"2 weeks", 14},
                              Length{"3 weeks", 21}, Length{"4 weeks", 28}, Length{"5 weeks", 35},
                              Length{"6 weeks", 42}, Length{"Other", 0}};

void fillLengths(QComboBox &popUp)
{
    for (const Length &length : kLengths)
        popUp.addItem(QCoreApplication::translate("BrevantWC", length.title),
                      QVariant::fromValue(length.days));
}

// The pickers show the UTC calendar day, the day the query text uses, and keep the time of day
// so that sprint arithmetic never moves it.
void prepareDatePicker(QDateTimeEdit &picker)
{
    picker.setTimeSpec(Qt::UTC);
    picker.setDateTimeRange(SprintDates::earliestInstant(), SprintDates::latestInstant());
}

void showDate(QDateTimeEdit &picker, const QVariant &value)
{
    const QSignalBlocker blocker(picker);
    picker.setDateTime(value.toDateTime().toUTC());
}

void showText(QLineEdit &field, const QString &text)
{
    const QSignalBlocker blocker(field);
    field.setText(text);
}

} // namespace

BrevantWC::BrevantWC(BrevantModel &model, QWidget *parent)
    : QMainWindow(parent)
    , bv(model)
    , ui(std::make_unique<Ui::BrevantWindow>())
{
    ui->setupUi(this);
    fillLengths(*ui->sprintDurationPopUp);
    prepareDatePicker(*ui->sprintEndDatePicker);
    prepareDatePicker(*ui->sprintStartDatePicker);
    prepareStatusBar();
    connectControls();
    connectMenus();
    windowDidLoad();
}

BrevantWC::~BrevantWC()
{
    // The model outlives every window; a window destroyed without being closed must not leave
    // a handler behind that points at it.
    bv.removeObserver(this);
    // Destroying the controls can still make them signal (a field that loses the focus finishes
    // its editing), and by then only the QWidget part of this object is left to receive it.
    const QList<QObject *> controls = findChildren<QObject *>();
    for (const QObject *control : controls)
        disconnect(control, nullptr, this, nullptr);
}

SprintReportWC &BrevantWC::sprintReport()
{
    // Made when first needed, so that starting the program does not wait for a chart.
    if (!mSprintReport)
        mSprintReport = new SprintReportWC(bv, this);
    return *mSprintReport;
}

void BrevantWC::closeEvent(QCloseEvent *event)
{
    bv.removeObserver(this);
    QMainWindow::closeEvent(event);
}

void BrevantWC::connectControls()
{
    connect(ui->sprintEndDatePicker, &QDateTimeEdit::dateTimeChanged, this,
            &BrevantWC::sprintEndDatePicker);
    connect(ui->sprintStartDatePicker, &QDateTimeEdit::dateTimeChanged, this,
            &BrevantWC::sprintStartDatePicker);
    connect(ui->sprintDurationPopUp, &QComboBox::activated, this, &BrevantWC::sprintDurationPopUp);
    connect(ui->daysField, &QLineEdit::editingFinished, this, &BrevantWC::daysField);
    connect(ui->skipNoneFound, &QCheckBox::clicked, this, &BrevantWC::skipNoneFound);
    // Unlike the other controls the tab view reports every change of its page, also one made
    // from code; the model answers with the same identifier, which selects nothing new.
    connect(ui->queryTab, &QTabWidget::currentChanged, this,
            &BrevantWC::tabViewDidSelectTabViewItem);
    connect(ui->previousSprintButton, &QPushButton::clicked, this, &BrevantWC::previousSprint);
    connect(ui->nextSprintButton, &QPushButton::clicked, this, &BrevantWC::nextSprint);
    connect(ui->engineeringQueryPopUp, &QComboBox::activated, this,
            &BrevantWC::engineeringQueryPopUp);
    connect(ui->individualQueryPopUp, &QComboBox::activated, this,
            &BrevantWC::individualQueryPopUp);
    connect(ui->jiraUsernameField, &QLineEdit::editingFinished, this,
            &BrevantWC::jiraUsernameField);
    connect(ui->jiraUsersPopUp, &QComboBox::activated, this, &BrevantWC::jiraUsersPopUp);
    connect(ui->clipboardButton, &QPushButton::clicked, this, &BrevantWC::copyQueryText);
    connect(ui->copyWorkDaysButton, &QPushButton::clicked, this, &BrevantWC::copyWorkDays);
    connect(ui->sprintReportButton, &QPushButton::clicked, this,
            [this] { sprintReport().present(); });
    connect(ui->jiraLoginButton, &QPushButton::clicked, this, [this] { bv.jiraLogin(); });
    connect(ui->jiraSearchButton, &QPushButton::clicked, this, [this] { bv.jiraSearch(); });
    connect(ui->downloadCSVButton, &QPushButton::clicked, this, [this] { bv.downloadCSV(); });
    connect(ui->openQueryPageButton, &QPushButton::clicked, this, [this] { bv.openQueryPage(); });
    connect(ui->openMetricsPageButton, &QPushButton::clicked, this,
            [this] { bv.openMetricsPage(); });
    connect(ui->showTemplateFileButton, &QPushButton::clicked, this,
            [this] { bv.showTemplateFile(); });
    connect(ui->queryText, &QPlainTextEdit::textChanged, this, &BrevantWC::queryTextEdited);
}

// The status line tells what the Jira commands do and how they ended; Stop sits beside it.
void BrevantWC::prepareStatusBar()
{
    mStatusText = new QLabel(ui->statusBar);
    mStatusText->setObjectName(QStringLiteral("statusText"));
    mStatusText->setAccessibleName(tr("Jira command status"));
    // Reachable by keyboard and selectable, so the words can be read out and copied.
    mStatusText->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    mStatusText->setFocusPolicy(Qt::TabFocus);
    // A long outcome must not widen the window; the whole text is in the tooltip.
    mStatusText->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    ui->statusBar->addWidget(mStatusText, 1);

    mBusyIndicator = new QProgressBar(ui->statusBar);
    mBusyIndicator->setObjectName(QStringLiteral("busyIndicator"));
    mBusyIndicator->setAccessibleName(tr("Jira command running"));
    mBusyIndicator->setRange(0, 0);
    mBusyIndicator->setMaximumWidth(90);
    mBusyIndicator->setTextVisible(false);
    mBusyIndicator->hide();
    ui->statusBar->addPermanentWidget(mBusyIndicator);

    auto *stop = new QToolButton(ui->statusBar);
    stop->setObjectName(QStringLiteral("stopButton"));
    stop->setDefaultAction(ui->actionStopJiraCommand);
    stop->setToolButtonStyle(Qt::ToolButtonTextOnly);
    stop->setAccessibleName(tr("Stop the Jira command"));
    ui->statusBar->addPermanentWidget(stop);
}

void BrevantWC::showBusy(bool busy)
{
    ui->actionStopJiraCommand->setEnabled(busy);
    mBusyIndicator->setVisible(busy);
}

void BrevantWC::connectMenus()
{
    connect(ui->actionQuit, &QAction::triggered, this, [] {
        QApplication::closeAllWindows();
        QCoreApplication::quit();
    });
    connect(ui->actionCopyQuery, &QAction::triggered, this, &BrevantWC::copyQueryText);
    connect(ui->actionCopyWorkDays, &QAction::triggered, this, &BrevantWC::copyWorkDays);
    connect(ui->actionSprintReport, &QAction::triggered, this,
            [this] { sprintReport().present(); });
    connect(ui->actionOpenExport, &QAction::triggered, this,
            [this] { sprintReport().openExport(); });
    connect(ui->actionJiraLogin, &QAction::triggered, ui->jiraLoginButton, &QPushButton::click);
    connect(ui->actionJiraSearch, &QAction::triggered, ui->jiraSearchButton, &QPushButton::click);
    connect(ui->actionDownloadCSV, &QAction::triggered, ui->downloadCSVButton, &QPushButton::click);
    connect(ui->actionStopJiraCommand, &QAction::triggered, this, [this] { bv.stopJiraCommand(); });
    connect(ui->actionHelp, &QAction::triggered, this, &BrevantWC::helpRequested);
    connect(ui->actionAbout, &QAction::triggered, this, &BrevantWC::showAbout);
}

void BrevantWC::windowDidLoad()
{
    bv.addObserver(
        this, [this](const ModelNotification &notification) { receiveNotification(notification); });
    PopUpButton::fillTemplatePopUp(*ui->engineeringQueryPopUp, bv.engineeringQueryTextD());
    // A first launch adopts the first template, which also puts its query on the clipboard.
    if (!bv.engineeringQueryName())
        engineeringQueryPopUp();
    PopUpButton::fillTemplatePopUp(*ui->individualQueryPopUp, bv.individualQueryTextD());
    PopUpButton::fillUsersPopUp(*ui->jiraUsersPopUp, bv.jiraUsersD());
    if (const OptionalString identifier = bv.queryTabIdentifier())
        selectTabViewItemWithIdentifier(*identifier);
    showText(*ui->jiraUsernameField, bv.jiraUsername().value_or(QString()));
    {
        const QSignalBlocker blocker(ui->skipNoneFound);
        ui->skipNoneFound->setChecked(bv.skipNoneFound());
    }
    bv.updateQueryParameters();
}

void BrevantWC::receiveNotification(const ModelNotification &notification)
{
    if (notification.name != kModelNotificationName)
        return;
    for (auto entry = notification.userInfo.cbegin(); entry != notification.userInfo.cend();
         ++entry)
        showModelValue(entry.key(), entry.value());
}

void BrevantWC::showModelValue(const QString &key, const QVariant &value)
{
    if (key == u"BV_sprintEndDate") {
        showDate(*ui->sprintEndDatePicker, value);
    } else if (key == u"BV_sprintStartDate") {
        showDate(*ui->sprintStartDatePicker, value);
    } else if (key == u"BV_sprintDurationPopUp") {
        PopUpButton::selectItemWithTag(*ui->sprintDurationPopUp, integerValue(value.toString()));
    } else if (key == u"BV_queryTabIdentifier") {
        selectTabViewItemWithIdentifier(value.toString());
    } else if (key == u"BV_engineeringQueryName") {
        PopUpButton::selectItemWithTitle(*ui->engineeringQueryPopUp, value.toString());
    } else if (key == u"BV_individualQueryName") {
        PopUpButton::selectItemWithTitle(*ui->individualQueryPopUp, value.toString());
    } else if (key == u"BV_daysField") {
        showText(*ui->daysField, value.toString());
    } else if (key == u"BV_queryText") {
        const QSignalBlocker blocker(ui->queryText);
        ui->queryText->setPlainText(value.toString());
    } else if (key == u"BV_workDays") {
        showText(*ui->workDays, value.toString());
    } else if (key == u"BV_status") {
        mStatusText->setText(value.toString());
        mStatusText->setToolTip(value.toString());
    } else if (key == u"BV_busy") {
        showBusy(value.toBool());
    } else if (key == u"BV_exportSaved") {
        sprintReport().showExport(value.toString());
    } else {
        logLine(QStringLiteral("Unrecognized notification key: %1").arg(key));
    }
}

void BrevantWC::selectTabViewItemWithIdentifier(const QString &identifier)
{
    for (int i = 0; i < ui->queryTab->count(); ++i) {
        if (ui->queryTab->widget(i)->property(kIdentifierProperty).toString() == identifier) {
            ui->queryTab->setCurrentIndex(i);
            return;
        }
    }
}

void BrevantWC::sprintEndDatePicker()
{
    bv.setSprintEndDate(ui->sprintEndDatePicker->dateTime());
}

void BrevantWC::sprintStartDatePicker()
{
    bv.setSprintStartDate(ui->sprintStartDatePicker->dateTime());
}

void BrevantWC::sprintDurationPopUp()
{
    bv.setSprintDurationDays(ui->sprintDurationPopUp->currentData().value<qint64>());
}

void BrevantWC::daysField()
{
    bv.setSprintDurationDays(intValue(ui->daysField->text()));
}

void BrevantWC::skipNoneFound()
{
    bv.setSkipNoneFound(ui->skipNoneFound->isChecked());
}

void BrevantWC::tabViewDidSelectTabViewItem(int index)
{
    if (QWidget *page = ui->queryTab->widget(index))
        bv.setQueryTabIdentifier(page->property(kIdentifierProperty).toString());
}

void BrevantWC::previousSprint()
{
    bv.previousSprint();
    copyQueryText();
}

void BrevantWC::nextSprint()
{
    bv.nextSprint();
    copyQueryText();
}

void BrevantWC::engineeringQueryPopUp()
{
    bv.setEngineeringQueryName(PopUpButton::titleOfSelectedItem(*ui->engineeringQueryPopUp));
    copyQueryText();
}

void BrevantWC::individualQueryPopUp()
{
    bv.setIndividualQueryName(PopUpButton::titleOfSelectedItem(*ui->individualQueryPopUp));
    copyQueryText();
}

void BrevantWC::jiraUsernameField()
{
    bv.setJiraUsername(ui->jiraUsernameField->text());
}

void BrevantWC::jiraUsersPopUp()
{
    const OptionalString title = PopUpButton::titleOfSelectedItem(*ui->jiraUsersPopUp);
    const std::optional<JiraUsersDictionary> users = bv.jiraUsersD();
    if (!title || !users)
        return;
    for (const StringDictionary &group : *users) {
        const auto person = group.constFind(*title);
        if (person != group.cend()) {
            showText(*ui->jiraUsernameField, *person);
            bv.setJiraUsername(*person);
            return;
        }
    }
}

void BrevantWC::copyQueryText()
{
    bv.writeToPasteBoard(ui->queryText->toPlainText());
}

void BrevantWC::queryTextEdited()
{
    bv.setQueryText(ui->queryText->toPlainText());
}

void BrevantWC::copyWorkDays()
{
    bv.writeToPasteBoard(ui->workDays->text());
}

void BrevantWC::showAbout()
{
    QMessageBox::about(this, tr("About Brevant"),
                       tr("<p><b>Brevant</b></p><p>Writes Jira queries and work-days lines for "
                          "sprint metrics, and runs them in Jira.</p>"));
}
