#include "support/test_files.h"

#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

// The shipped program reads no hidden switches: the only environment
// variables of its own are the documented stand-ins for the site and the
// package manager. Pictures and benchmarks drive it from outside.
TEST(ProgramFile, NamesNoEnvironmentSwitchesButTheDocumentedOnes)
{
    const QByteArray program = testsupport::ReadBytes(ZORVANE_PROGRAM_PATH);
    ASSERT_FALSE(program.isEmpty());
    const QSet<QString> documented{QStringLiteral("ZORVANE_SITE_URL"), QStringLiteral("ZORVANE_PACKAGE_MANAGER")};
    const QRegularExpression name(QStringLiteral("ZORVANE_[A-Z_]+"));
    QSet<QString> found;
    for (const auto& match : name.globalMatch(QString::fromLatin1(program)))
        found << match.captured();
    EXPECT_TRUE(found.contains(QStringLiteral("ZORVANE_SITE_URL"))); // the search itself works
    for (const QString& variable : found)
        EXPECT_TRUE(documented.contains(variable)) << variable.toStdString();
}
