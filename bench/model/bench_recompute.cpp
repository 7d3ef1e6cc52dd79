// How long one recomputation of the query text and the work-days line takes, with one observer.
#include "BrevantModel.h"
#include "TemporaryHome.h"

#include <QTest>

class RecomputeBenchmark : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void updateQueryParameters_workedExample();

private:
    TemporaryHome mHome;
};

void RecomputeBenchmark::updateQueryParameters_workedExample()
{
    BrevantModel model;
    model.setEngineeringQueryTextD(StringDictionary{
        {QStringLiteral("Velocity"),
         QStringLiteral("project = ABC AND assignee = currentUser() AND {created} AND status "
                        "changed to Done DURING {during} AND resolved >= {startDate} AND resolved "
                        "<= {EndDate}")}});
    model.setSprintEndDate(QDateTime(QDate(2020, 3, 27), QTime(17, 30), Qt::UTC));
    model.setEngineeringQueryName(QStringLiteral("Velocity"));
    model.setJiraUsername(QStringLiteral("teamlead7"));
    qsizetype received = 0;
    model.addObserver(&received,
                      [&](const ModelNotification &n) { received += n.userInfo.size(); });

    QBENCHMARK
    {
        model.updateQueryParameters();
    }
    QVERIFY(received > 0);
}

QTEST_GUILESS_MAIN(RecomputeBenchmark)
#include "bench_recompute.moc"
