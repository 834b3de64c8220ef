pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import LentoraApp

// The page that presents the sibling product Reticula, with its web site and its store page.
ScrollView {
    id: page

    readonly property ReticulaModel model: ReticulaModel {}
    readonly property int rev: model.localizeRevision

    function tr(id) { return model.Localize(id, rev) }

    contentWidth: availableWidth
    contentHeight: column.implicitHeight + 16
    clip: true

    ColumnLayout {
        id: column
        width: page.availableWidth - 32
        x: 16
        spacing: 8

        Heading { text: page.tr("RETICULA.TOPIC"); wrapMode: Text.WordWrap; Layout.fillWidth: true }
        Label { text: page.tr("RETICULA.1"); wrapMode: Text.WordWrap; Layout.fillWidth: true }
        Label { text: page.tr("RETICULA.2"); wrapMode: Text.WordWrap; Layout.fillWidth: true }
        Label { text: page.tr("RETICULA.3"); wrapMode: Text.WordWrap; Layout.fillWidth: true }
        Heading { text: page.tr("RETICULA.GET") }
        Label { text: page.tr("RETICULA.CHECKOUT"); wrapMode: Text.WordWrap; Layout.fillWidth: true }
        RowLayout {
            spacing: 8
            ActionButton {
                text: page.tr("RETICULA.WWW")
                onClicked: page.model.OnWebsiteClick()
            }
            ActionButton {
                text: page.tr("RETICULA.STEAM")
                onClicked: page.model.OnStoreClick()
            }
        }
    }
}
