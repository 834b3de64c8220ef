pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import LentoraApp

// The translation viewer: every string id with its English text and its text in the current language.
// It only shows them.
Pane {
    id: page

    readonly property LocalizationModel model: LocalizationModel {}

    ListView {
        id: rows
        objectName: "translationRows"
        anchors.fill: parent
        clip: true
        spacing: 2
        model: page.model.LangStringItems
        ScrollBar.vertical: ScrollBar {}

        delegate: RowLayout {
            id: row
            required property var modelData
            width: ListView.view.width - 16
            spacing: 12

            Label {
                text: row.modelData.StrID
                font.family: "monospace"
                Layout.preferredWidth: 240
                elide: Text.ElideRight
            }
            Label {
                text: row.modelData.EngValue
                wrapMode: Text.WordWrap
                Layout.fillWidth: true
                Layout.preferredWidth: 1
            }
            Label {
                text: row.modelData.LangValue
                wrapMode: Text.WordWrap
                Layout.fillWidth: true
                Layout.preferredWidth: 1
            }
        }
    }
}
