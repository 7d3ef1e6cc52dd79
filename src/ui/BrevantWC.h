// The main window: every user edit becomes one call on the model, and every value the model
// reports comes back through its change notification. The window keeps no sprint state itself.
#pragma once

#include "BrevantModel.h"

#include <QMainWindow>

#include <memory>

class QLabel;
class QProgressBar;
class SprintReportWC;

namespace Ui {
class BrevantWindow;
}

class BrevantWC final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BrevantWC)

public:
    // The window registers with the model and fills its controls from it at once.
    explicit BrevantWC(BrevantModel &model, QWidget *parent = nullptr);
    ~BrevantWC() override;

    // The sprint report window, closed with this window.
    SprintReportWC &sprintReport();

Q_SIGNALS:
    // The user asked for the help pages.
    void helpRequested();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void connectControls();
    void connectMenus();
    void prepareStatusBar();
    void showBusy(bool busy);
    void windowDidLoad();
    void receiveNotification(const ModelNotification &notification);
    void showModelValue(const QString &key, const QVariant &value);
    void selectTabViewItemWithIdentifier(const QString &identifier);

    void sprintEndDatePicker();
    void sprintStartDatePicker();
    void sprintDurationPopUp();
    void daysField();
    void skipNoneFound();
    void tabViewDidSelectTabViewItem(int index);
    void previousSprint();
    void nextSprint();
    void engineeringQueryPopUp();
    void individualQueryPopUp();
    void jiraUsernameField();
    void jiraUsersPopUp();
    void copyQueryText();
    void copyWorkDays();
    void queryTextEdited();
    void showAbout();

    BrevantModel &bv;
    std::unique_ptr<Ui::BrevantWindow> ui;
    QLabel *mStatusText = nullptr;
    QProgressBar *mBusyIndicator = nullptr;
    SprintReportWC *mSprintReport = nullptr;
};
