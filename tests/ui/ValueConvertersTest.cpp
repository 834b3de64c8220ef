// The value converters as the pages' markup uses them: made in QML, called from JavaScript, failing
// with a thrown error.
#include "ui/ValueConverters.h"

#include <gtest/gtest.h>

#include <QtQml/qqmlextensionplugin.h>
#include <QApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <memory>

Q_IMPORT_QML_PLUGIN(LentoraAppPlugin)

namespace {

// Each call's result as text, or "error " and the thrown message.
QStringList Results(const QString& calls) {
    QQmlEngine engine;
    QQmlComponent component(&engine);
    component.setData(QStringLiteral(R"(
import QtQuick
import LentoraApp
QtObject {
    property QtObject factor: MagFactorConverter {}
    property QtObject negation: BoolNegationConverter {}
    property QtObject visibility: BoolToVisibilityConverter {}
    property QtObject chain: StackingConverter { BoolNegationConverter {} BoolToVisibilityConverter {} }
    property QtObject empty: StackingConverter {}
    function attempt(f) { try { return String(f()) } catch (e) { return "error " + e.message } }
    property var results: [%1]
}
)")
                          .arg(calls)
                          .toUtf8(),
                      QUrl());
    std::unique_ptr<QObject> object(component.create());
    EXPECT_NE(object, nullptr) << component.errorString().toStdString();
    if (!object) return {};
    return object->property("results").toStringList();
}

TEST(ValueConverters, FromMarkup) {
    struct Case {
        const char* call;
        const char* result;
    } cases[] = {
        {"factor.Convert(200)", "x2.0"},
        {"factor.Convert(100)", "x1.0"},
        {"factor.Convert(1000)", "x10.0"},
        {"factor.Convert(250)", "x2.5"},
        {"factor.Convert(333.3)", "x3.3"},
        {"factor.Convert('200')", "error 0x80004002 No such interface supported"},
        {"factor.ConvertBack('x2.0')", "error 0x80004001 MagFactorConverter ConvertBack not implemented"},
        {"negation.Convert(true)", "false"},
        {"negation.ConvertBack(false)", "true"},
        {"negation.Convert(1)", "error 0x80004002 No such interface supported"},
        {"visibility.Convert(true)", "0"},
        {"visibility.Convert(false)", "1"},
        {"visibility.Convert(undefined)", "error 0x80004002 No such interface supported"},
        {"visibility.ConvertBack(0)", "true"},
        {"visibility.ConvertBack(1)", "false"},
        {"visibility.ConvertBack(Visibility.Collapsed)", "false"},
        {"visibility.ConvertBack('0')",
         "error 0x80004001 BoolToVisibilityConverter ConvertBack got non Visibility"},
        {"chain.Convert(true)", "1"},  // negated, then Collapsed
        {"chain.ConvertBack(Visibility.Visible)", "false"},
        {"chain.Convert('x')", "error 0x80004002 No such interface supported"},
        {"empty.Convert(42)", "42"},
    };
    QStringList calls;
    for (const Case& c : cases) calls << QStringLiteral("attempt(() => %1)").arg(QString::fromUtf8(c.call));
    const QStringList results = Results(calls.join(QStringLiteral(", ")));
    ASSERT_EQ(results.size(), static_cast<qsizetype>(std::size(cases)));
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(results[static_cast<qsizetype>(i)].toStdString(), cases[i].result) << cases[i].call;
    }
}

}  // namespace

int main(int argc, char** argv) {
    // QtTest's key clicks take the application for a QApplication when widgets are linked in.
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
