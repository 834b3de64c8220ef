pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// The main window's content: the navigation on the left and, beside it, the frame that shows the
// selected page. Every value comes from the window's view (the C++ MainWindow); the markup keeps none.
ApplicationWindow {
    id: window

    required property var view

    title: "Lentora"
    // Shown by the view, once it has sized and placed the window.
    visible: false

    RowLayout {
        anchors.fill: parent
        spacing: 0

        Pane {
            id: navigation
            Layout.fillHeight: true
            Layout.preferredWidth: 240
            padding: 8
            background: Rectangle {
                color: navigation.palette.alternateBase
            }

            ColumnLayout {
                anchors.left: parent.left
                anchors.right: parent.right
                spacing: 2

                Repeater {
                    model: [
                        { tag: "Profile", text: "NAV.PROFILE" },
                        { tag: "Settings", text: "NAV.SETTINGS" },
                        { tag: "Help", text: "NAV.HELP" },
                        { tag: "Reticula", text: "NAV.RETICULA" }
                    ]

                    delegate: ItemDelegate {
                        required property var modelData
                        Layout.fillWidth: true
                        text: window.view.Localize(modelData.text, window.view.localizeRevision)
                        highlighted: window.view.selectedTag === modelData.tag
                        Accessible.name: text
                        Accessible.onPressAction: clicked()
                        onClicked: window.view.Navigate(modelData.tag)
                    }
                }
            }
        }

        Loader {
            id: frame
            Layout.fillWidth: true
            Layout.fillHeight: true
            source: window.view.pageSource
        }
    }

    // The Help page asks for the translation viewer, which has no navigation item.
    Connections {
        target: frame.item
        ignoreUnknownSignals: true
        function onTranslationsRequested() { window.view.Navigate("Localization") }
    }
    Connections {
        target: window.view
        function onWizardRequested() { wizard.open() }
    }

    // The first-start wizard: shown once, over the Profile page.
    Dialog {
        id: wizard
        objectName: "wizard"
        readonly property int rev: window.view.localizeRevision
        function tr(id) { return window.view.Localize(id, rev) }

        modal: true
        anchors.centerIn: parent
        width: 600
        title: tr("WIZARD.TITLE")
        closePolicy: Popup.CloseOnEscape

        ColumnLayout {
            anchors.left: parent.left
            anchors.right: parent.right
            spacing: 8

            Label { text: wizard.tr("WIZARD.TEXT1"); wrapMode: Text.WordWrap; Layout.fillWidth: true }
            Label { text: wizard.tr("WIZARD.STEP1"); wrapMode: Text.WordWrap; Layout.fillWidth: true }
            Label { text: wizard.tr("WIZARD.STEP2"); wrapMode: Text.WordWrap; Layout.fillWidth: true }
            // Step 3 asks first; its button puts the details in the question's place for good.
            ColumnLayout {
                id: step3Ask
                Layout.fillWidth: true
                Label { text: wizard.tr("WIZARD.STEP3ASK"); wrapMode: Text.WordWrap; Layout.fillWidth: true }
                ActionButton {
                    text: wizard.tr("WIZARD.STEP3CLICK")
                    onClicked: {
                        step3Ask.visible = false
                        step3Details.visible = true
                    }
                }
            }
            ColumnLayout {
                id: step3Details
                visible: false
                Layout.fillWidth: true
                Label { text: wizard.tr("WIZARD.STEP3.1"); wrapMode: Text.WordWrap; Layout.fillWidth: true }
                Label { text: wizard.tr("WIZARD.STEP3.2"); wrapMode: Text.WordWrap; Layout.fillWidth: true }
                Label { text: wizard.tr("WIZARD.STEP3.3"); wrapMode: Text.WordWrap; Layout.fillWidth: true }
            }
            ActionButton {
                text: wizard.tr("WIZARD.DISCORD")
                flat: true
                font.underline: true
                onClicked: window.view.OpenCommunity()
            }
        }

        footer: DialogButtonBox {
            ActionButton {
                text: wizard.tr("WIZARD.CLOSE")
                highlighted: true
                onClicked: wizard.close()
            }
        }
    }
}
