// Path resolution against real symbolic links in a temporary folder, with aliases stood in.
#include "EnvironmentOverride.h"
#include "PathOperations.h"
#include "PathResolution.h"
#include "StandInAliases.h"
#include "TemporaryHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <pwd.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Stands in a table for a result that is no path.
const QString noPath = u"(no path)"_s;

// "@" in a table stands for the canonical temporary folder.
QString rooted(const QString &pattern, const QString &root)
{
    QString path = pattern;
    return path.replace(u'@', root);
}

bool makeLink(const QString &target, const QString &link)
{
    return ::symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()) ==
           0;
}

bool makeFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly);
}

} // namespace

class TestPathResolution : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();

    void standardizedPath_text_isStandardized_data();
    void standardizedPath_text_isStandardized();
    void standardizedPath_homeUnset_expandsToTheAccountsHome_data();
    void standardizedPath_homeUnset_expandsToTheAccountsHome();
    void componentOperations_paths_joinAndSplitAtOneSeparator();
    void xqResolving_path_followsLinks_data();
    void xqResolving_path_followsLinks();
    void xqResolving_belowHome_expandsTildeAndKeepsMissingTail();
    void xqResolving_aliases_followsOnlyLastComponent_data();
    void xqResolving_aliases_followsOnlyLastComponent();
    void resolvingSymlinksAndAliases_path_walksEveryComponent_data();
    void resolvingSymlinksAndAliases_path_walksEveryComponent();
    void iterativelyResolving_path_resolvesLastComponent_data();
    void iterativelyResolving_path_resolvesLastComponent();
    void conditionallyResolvingSymlink_target_asStoredOrStandardized();
    void singleSteps_notALinkOrAlias_giveNothingOrArgument();
    void conditionallyResolvingAlias_alias_resolvesOneLevel();
    void identifyOriginalPath_cases_followChainOrGiveArgument();

private:
    void addPathColumns();
    QString at(const char *pattern) const { return rooted(QString::fromUtf8(pattern), mRoot); }
    void makeChain(const QString &name, int links);

    QTemporaryDir mDir;
    QString mRoot;
    StandInAliases mAliases;
};

void TestPathResolution::initTestCase()
{
    QVERIFY(mDir.isValid());
    // The temporary folder may itself lie behind a link; every expectation starts from its target.
    mRoot = QFileInfo(mDir.path()).canonicalFilePath();
    const QString rootName = QFileInfo(mRoot).fileName();
    QVERIFY(QDir(mRoot).mkpath(QStringLiteral("dir/sub")));
    QVERIFY(makeFile(at("@/dir/file")));
    QVERIFY(makeLink(at("@/dir"), at("@/absLink")));
    QVERIFY(makeLink(QStringLiteral("dir"), at("@/relLink")));
    QVERIFY(makeLink(QStringLiteral("../") + rootName + QStringLiteral("/./dir/../dir"),
                     at("@/dotLink")));
    QVERIFY(makeLink(at("@/./dir/../dir"), at("@/absDotLink")));
    QVERIFY(makeLink(QStringLiteral("../file"), at("@/dir/sub/up")));
    QVERIFY(makeLink(at("@/absLink"), at("@/linkToLink")));
    QVERIFY(makeLink(at("@/missing"), at("@/dangling")));
    QVERIFY(makeLink(QStringLiteral("cycleB"), at("@/cycleA")));
    QVERIFY(makeLink(QStringLiteral("cycleA"), at("@/cycleB")));
    QVERIFY(makeLink(QStringLiteral("self"), at("@/self")));
    makeChain(QStringLiteral("chain40_"), 40);
    makeChain(QStringLiteral("chain41_"), 41);

    for (const char *alias : {"@/alias1", "@/alias2", "@/aliasToLink", "@/brokenAlias",
                              "@/aliasCycleA", "@/aliasCycleB"})
        QVERIFY(makeFile(at(alias)));
    mAliases.add(at("@/alias1"), at("@/alias2"));
    mAliases.add(at("@/alias2"), at("@/dir"));
    mAliases.add(at("@/aliasToLink"), at("@/relLink"));
    mAliases.add(at("@/aliasCycleA"), at("@/aliasCycleB"));
    mAliases.add(at("@/aliasCycleB"), at("@/aliasCycleA"));
    mAliases.add(at("@/ghostAlias"), at("@/dir"));
    QVERIFY(makeLink(at("@/alias1"), at("@/linkToAlias")));
}

// name1 -> name2 -> ... -> name<links> -> dir: exactly `links` links from name1 to the folder.
void TestPathResolution::makeChain(const QString &name, int links)
{
    for (int index = 1; index <= links; ++index) {
        const QString target = index == links ? at("@/dir") : name + QString::number(index + 1);
        QVERIFY(makeLink(target, mRoot + u'/' + name + QString::number(index)));
    }
}

void TestPathResolution::addPathColumns()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
}

void TestPathResolution::standardizedPath_text_isStandardized_data()
{
    addPathColumns();
    QTest::newRow("tilde alone is home") << u"~"_s << u"~HOME"_s;
    QTest::newRow("tilde slash expands, trailing separator dropped")
        << u"~/a/b/"_s << u"~HOME/a/b"_s;
    QTest::newRow("tilde of another user kept") << u"~nobody/a"_s << u"~nobody/a"_s;
    QTest::newRow("tilde not leading kept") << u"/a/~/b"_s << u"/a/~/b"_s;
    QTest::newRow("dots and empty components dropped") << u"/a/./b//c/."_s << u"/a/b/c"_s;
    QTest::newRow("dot dot removes previous component") << u"/a/b/../c"_s << u"/a/c"_s;
    QTest::newRow("dot dot above root stays at root") << u"/../a/../../b"_s << u"/b"_s;
    QTest::newRow("relative dot dot kept") << u"a/../b/"_s << u"a/../b"_s;
    QTest::newRow("relative leading dot dropped") << u"./a"_s << u"a"_s;
    QTest::newRow("lone dot stays") << u"."_s << u"."_s;
    QTest::newRow("root stays") << u"//"_s << u"/"_s;
    QTest::newRow("empty stays empty") << u""_s << u""_s;
}

void TestPathResolution::standardizedPath_text_isStandardized()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    TemporaryHome home;
    QCOMPARE(standardizedPath(path), expected.replace(QStringLiteral("~HOME"), home.path()));
}

void TestPathResolution::standardizedPath_homeUnset_expandsToTheAccountsHome_data()
{
    QTest::addColumn<std::optional<QByteArray>>("home");
    QTest::newRow("HOME unset") << std::optional<QByteArray>();
    QTest::newRow("HOME empty") << std::optional<QByteArray>("");
}

void TestPathResolution::standardizedPath_homeUnset_expandsToTheAccountsHome()
{
    QFETCH(std::optional<QByteArray>, home);
    const passwd *account = ::getpwuid(::getuid());
    QVERIFY(account && account->pw_dir);
    const EnvironmentOverride noHome("HOME", home);
    QCOMPARE(standardizedPath(u"~/Library"_s),
             standardizedPath(QFile::decodeName(account->pw_dir) + u"/Library"_s));
}

void TestPathResolution::componentOperations_paths_joinAndSplitAtOneSeparator()
{
    QCOMPARE(appendingPathComponent(u"/"_s, u"a"_s), u"/a"_s);
    QCOMPARE(appendingPathComponent(u"/a//"_s, u"/b"_s), u"/a/b"_s);
    QCOMPARE(appendingPathComponent(u""_s, u"b"_s), u"b"_s);
    QCOMPARE(deletingLastPathComponent(u"/a/b/"_s), u"/a"_s);
    QCOMPARE(deletingLastPathComponent(u"/a"_s), u"/"_s);
    QCOMPARE(deletingLastPathComponent(u"/"_s), u"/"_s);
    QCOMPARE(deletingLastPathComponent(u"a"_s), u""_s);
}

void TestPathResolution::xqResolving_path_followsLinks_data()
{
    addPathColumns();
    QTest::newRow("absolute link mid-path") << u"@/absLink/file"_s << u"@/dir/file"_s;
    QTest::newRow("relative link mid-path") << u"@/relLink/sub/"_s << u"@/dir/sub"_s;
    QTest::newRow("dot dot in stored target") << u"@/dotLink/file"_s << u"@/dir/file"_s;
    QTest::newRow("absolute target with dots standardized") << u"@/absDotLink"_s << u"@/dir"_s;
    QTest::newRow("relative target climbing from a subfolder")
        << u"@/relLink/sub/up"_s << u"@/dir/file"_s;
    QTest::newRow("link to link") << u"@/linkToLink/sub"_s << u"@/dir/sub"_s;
    QTest::newRow("dot dot removed before links") << u"@/absLink/sub/../file"_s << u"@/dir/file"_s;
    QTest::newRow("missing tail kept as written")
        << u"@/relLink/new/./deeper/"_s << u"@/dir/new/deeper"_s;
    QTest::newRow("below a file nothing exists") << u"@/dir/file/x"_s << u"@/dir/file/x"_s;
    QTest::newRow("dangling link gives its target") << u"@/dangling/x"_s << u"@/missing/x"_s;
    QTest::newRow("cycle left unresolved") << u"@/./cycleA/x"_s << u"@/cycleA/x"_s;
    QTest::newRow("self link left unresolved") << u"@/self"_s << u"@/self"_s;
    QTest::newRow("forty links followed") << u"@/chain40_1/sub"_s << u"@/dir/sub"_s;
    QTest::newRow("forty-one links taken for a cycle") << u"@/chain41_1"_s << u"@/chain41_1"_s;
    QTest::newRow("relative path only standardized") << u"relLink/./x/"_s << u"relLink/x"_s;
    QTest::newRow("root") << u"/"_s << u"/"_s;
    QTest::newRow("embedded NUL names nothing")
        << QStringLiteral("@/relLink") + QChar(u'\0') + QStringLiteral("x")
        << QStringLiteral("@/relLink") + QChar(u'\0') + QStringLiteral("x");
}

void TestPathResolution::xqResolving_path_followsLinks()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(xqStringByResolvingSymlinksAndAliases(rooted(path, mRoot)), rooted(expected, mRoot));
}

void TestPathResolution::xqResolving_belowHome_expandsTildeAndKeepsMissingTail()
{
    TemporaryHome home;
    QVERIFY(home.isValid());
    const QString canonicalHome = QFileInfo(home.path()).canonicalFilePath();
    QVERIFY(makeLink(at("@/dir"), canonicalHome + QStringLiteral("/Library")));
    QCOMPARE(xqStringByResolvingSymlinksAndAliases(
                 QStringLiteral("~/Library/Application Support/quillfen_brevant/")),
             at("@/dir/Application Support/quillfen_brevant"));
    QCOMPARE(xqStringByResolvingSymlinksAndAliases(QStringLiteral("~/Downloads//JIRA.csv")),
             canonicalHome + QStringLiteral("/Downloads/JIRA.csv"));
}

void TestPathResolution::xqResolving_aliases_followsOnlyLastComponent_data()
{
    addPathColumns();
    QTest::newRow("alias to alias to folder") << u"@/alias1"_s << u"@/dir"_s;
    QTest::newRow("link to an alias") << u"@/linkToAlias"_s << u"@/dir"_s;
    QTest::newRow("alias in the middle not followed") << u"@/alias1/sub"_s << u"@/alias1/sub"_s;
    QTest::newRow("alias that cannot be resolved") << u"@/brokenAlias"_s << u"@/brokenAlias"_s;
    QTest::newRow("missing item is no alias") << u"@/ghostAlias"_s << u"@/ghostAlias"_s;
}

void TestPathResolution::xqResolving_aliases_followsOnlyLastComponent()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(xqStringByResolvingSymlinksAndAliases(rooted(path, mRoot), mAliases),
             rooted(expected, mRoot));
    // The system has no alias files: the same path then comes back with links resolved only.
    QCOMPARE(xqStringByResolvingSymlinksAndAliases(rooted(path, mRoot)),
             pathByResolvingSymlinksInPath(rooted(path, mRoot)));
}

void TestPathResolution::resolvingSymlinksAndAliases_path_walksEveryComponent_data()
{
    addPathColumns();
    QTest::newRow("relative path returned as given") << u"a/./b/"_s << u"a/./b/"_s;
    QTest::newRow("root") << u"/"_s << u"/"_s;
    QTest::newRow("standardized first") << u"@//dir/./sub/"_s << u"@/dir/sub"_s;
    QTest::newRow("links mid-path") << u"@/relLink/sub/up"_s << u"@/dir/file"_s;
    QTest::newRow("dot dot in stored target") << u"@/dotLink/sub"_s << u"@/dir/sub"_s;
    QTest::newRow("alias mid-path followed") << u"@/alias1/sub"_s << u"@/dir/sub"_s;
    QTest::newRow("alias to link mid-path") << u"@/aliasToLink/file"_s << u"@/dir/file"_s;
    QTest::newRow("link to alias mid-path") << u"@/linkToAlias/sub"_s << u"@/dir/sub"_s;
    QTest::newRow("missing component") << u"@/dir/nothing/file"_s << noPath;
    QTest::newRow("missing last component") << u"@/dir/nothing"_s << noPath;
    QTest::newRow("dangling link") << u"@/dangling"_s << noPath;
    QTest::newRow("dangling link mid-path") << u"@/dangling/x"_s << noPath;
    QTest::newRow("link cycle") << u"@/cycleA"_s << noPath;
    QTest::newRow("alias cycle") << u"@/aliasCycleA/x"_s << noPath;
}

void TestPathResolution::resolvingSymlinksAndAliases_path_walksEveryComponent()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(stringByResolvingSymlinksAndAliases(rooted(path, mRoot), mAliases).value_or(noPath),
             rooted(expected, mRoot));
}

void TestPathResolution::iterativelyResolving_path_resolvesLastComponent_data()
{
    addPathColumns();
    QTest::newRow("link to directory") << u"@/relLink"_s << u"@/dir"_s;
    QTest::newRow("link to link to directory") << u"@/linkToLink"_s << u"@/dir"_s;
    QTest::newRow("regular file that is no alias") << u"@/dir/file"_s << u"@/dir/file"_s;
    QTest::newRow("directory") << u"@/dir"_s << u"@/dir"_s;
    QTest::newRow("alias one level per pass") << u"@/alias1"_s << u"@/dir"_s;
    QTest::newRow("alias to link") << u"@/aliasToLink"_s << u"@/dir"_s;
    QTest::newRow("alias that cannot be resolved") << u"@/brokenAlias"_s << u"@/brokenAlias"_s;
    QTest::newRow("forty links") << u"@/chain40_1"_s << u"@/dir"_s;
    QTest::newRow("forty-one links") << u"@/chain41_1"_s << noPath;
    QTest::newRow("missing item") << u"@/nothing"_s << noPath;
    QTest::newRow("dangling link") << u"@/dangling"_s << noPath;
    QTest::newRow("self link") << u"@/self"_s << noPath;
    QTest::newRow("link cycle") << u"@/cycleB"_s << noPath;
    QTest::newRow("alias cycle") << u"@/aliasCycleB"_s << noPath;
}

void TestPathResolution::iterativelyResolving_path_resolvesLastComponent()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(
        stringByIterativelyResolvingSymlinkOrAlias(rooted(path, mRoot), mAliases).value_or(noPath),
        rooted(expected, mRoot));
}

void TestPathResolution::conditionallyResolvingSymlink_target_asStoredOrStandardized()
{
    QCOMPARE(stringByConditionallyResolvingSymlink(at("@/absDotLink")), at("@/./dir/../dir"));
    QCOMPARE(stringByConditionallyResolvingSymlink(at("@/dir/sub/up")), at("@/dir/file"));
    QCOMPARE(stringByConditionallyResolvingSymlink(at("@/dir/./sub//up")), at("@/dir/file"));
    QCOMPARE(stringByConditionallyResolvingSymlink(at("@/dangling")), at("@/missing"));
    QCOMPARE(stringByResolvingSymlink(at("@/cycleA")), at("@/cycleB"));
}

void TestPathResolution::singleSteps_notALinkOrAlias_giveNothingOrArgument()
{
    for (const char *pattern : {"@/dir", "@/dir/file", "@/nothing"}) {
        const QString path = at(pattern);
        QCOMPARE(stringByConditionallyResolvingSymlink(path), std::nullopt);
        QCOMPARE(stringByResolvingSymlink(path), path);
        QCOMPARE(stringByConditionallyResolvingAlias(path, mAliases), std::nullopt);
        QCOMPARE(stringByResolvingAlias(path, mAliases), path);
    }
}

void TestPathResolution::conditionallyResolvingAlias_alias_resolvesOneLevel()
{
    QCOMPARE(stringByConditionallyResolvingAlias(at("@/alias1"), mAliases), at("@/alias2"));
    QCOMPARE(stringByResolvingAlias(at("@/alias1"), mAliases), at("@/alias2"));
    QCOMPARE(stringByConditionallyResolvingAlias(at("@/ghostAlias"), mAliases), std::nullopt);
    QCOMPARE(stringByConditionallyResolvingAlias(at("@/alias1")), std::nullopt);
    QCOMPARE(stringByResolvingAlias(at("@/alias1")), at("@/alias1"));
}

void TestPathResolution::identifyOriginalPath_cases_followChainOrGiveArgument()
{
    QCOMPARE(identifyOriginalPath(std::nullopt, mAliases), std::nullopt);
    QCOMPARE(identifyOriginalPath(at("@/alias1"), mAliases), at("@/dir"));
    QCOMPARE(identifyOriginalPath(at("@/ghostAlias"), mAliases), at("@/ghostAlias"));
    QCOMPARE(identifyOriginalPath(at("@/alias1")), at("@/alias1"));
    QCOMPARE(identifyOriginalPath(at("@/relLink"), mAliases), at("@/relLink"));
}

QTEST_GUILESS_MAIN(TestPathResolution)
#include "tst_pathresolution.moc"
