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
}
