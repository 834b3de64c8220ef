pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import LentoraApp

// The Help page: the frequent question with its answer, the program's version and the way to the
// translation viewer.
ScrollView {
    id: page

    readonly property HelpModel model: HelpModel {}
    readonly property int rev: model.localizeRevision
    // The viewer has no navigation item; the window shows it when asked.
    signal translationsRequested()

    function tr(id) { return model.Localize(id, rev) }

    contentWidth: availableWidth
    contentHeight: column.implicitHeight + 16
    clip: true

    ColumnLayout {
        id: column
        width: page.availableWidth - 32
        x: 16
        spacing: 6

        Heading { text: page.tr("HELP.TOPICS") }

        // The expander: the question as its header, the answer below it while open.
        Button {
            id: expander
            objectName: "questionExpander"
            checkable: true
            flat: true
            text: (checked ? "\u25BE " : "\u25B8 ") + page.tr("HELP.Q1")
            Layout.fillWidth: true
            Accessible.name: page.tr("HELP.Q1")
            Accessible.onPressAction: toggle()
            Accessible.onToggleAction: toggle()
            contentItem: Label {
                text: expander.text
                wrapMode: Text.WordWrap
                font.bold: true
            }
        }
        GridLayout {
            visible: expander.checked
            columns: 2
            columnSpacing: 12
            rowSpacing: 6
            Layout.fillWidth: true
            Layout.leftMargin: 16

            Label { text: page.tr("HELP.Q"); font.italic: true; Layout.alignment: Qt.AlignTop }
            Label { text: page.tr("HELP.Q1"); wrapMode: Text.WordWrap; Layout.fillWidth: true }
            Label { text: page.tr("HELP.A"); font.italic: true; Layout.alignment: Qt.AlignTop }
            ColumnLayout {
                Layout.fillWidth: true
                spacing: 6
                Label { text: page.tr("HELP.A1.1"); wrapMode: Text.WordWrap; Layout.fillWidth: true }
                Label { text: page.tr("HELP.A1.2"); wrapMode: Text.WordWrap; Layout.fillWidth: true }
                Label { text: page.tr("HELP.A1.3"); wrapMode: Text.WordWrap; Layout.fillWidth: true }
            }
        }

        Heading { text: page.tr("HELP.ABOUT") }
        Label {
            objectName: "versionText"
            // Read once: the wording of the page's load stays.
            text: page.model.Version
        }
        ActionButton {
            text: page.tr("HELP.TRANSLATIONS")
            flat: true
            onClicked: page.translationsRequested()
        }
        Item { Layout.preferredHeight: 16 }
    }
}
