pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import LentoraApp

// The hotkey binding control: the binding as key caps joined by plus signs, or the not-bound text; a
// click opens the recording pop-up and starts recording. The pop-up closes when the recording ends, by
// the first release or by Escape, and only then.
Button {
    id: control

    property alias hotkey: model.Hotkey
    property string label
    // The end of every recording, with the binding recorded.
    signal bindingRecorded(int binding)

    readonly property HotkeyButtonModel model: HotkeyButtonModel {
        id: model
        onHotkeyRecorded: binding => control.bindingRecorded(binding)
    }

    Accessible.name: label
    Accessible.onPressAction: clicked()
    Accessible.description: model.keyNames.length === 0
                            ? model.Localize("HOTKEY_NOT_BOUND", model.localizeRevision)
                            : model.keyNames.join(" + ")
    onClicked: model.StartRecording()

    contentItem: RowLayout {
        spacing: 4

        Label {
            visible: control.model.keyNames.length === 0
            text: control.model.Localize("HOTKEY_NOT_BOUND", control.model.localizeRevision)
        }
        Repeater {
            model: control.model.keyNames

            delegate: RowLayout {
                id: keyCap
                required property string modelData
                required property int index
                spacing: 4

                Label {
                    visible: keyCap.index > 0
                    text: "+"
                }
                // A key cap; a plain rectangle, so that the press reaches the button.
                Rectangle {
                    implicitWidth: cap.implicitWidth + 10
                    implicitHeight: cap.implicitHeight + 8
                    radius: 3
                    color: "transparent"
                    border.color: control.palette.mid
                    Label {
                        id: cap
                        anchors.centerIn: parent
                        text: keyCap.modelData
                    }
                }
            }
        }
    }

    Popup {
        id: recordingPopup
        objectName: "HotkeyRecordingPopup"
        modal: true
        closePolicy: Popup.NoAutoClose
        visible: control.model.recording
        anchors.centerIn: Overlay.overlay
        padding: 16

        contentItem: ColumnLayout {
            spacing: 8

            Label {
                text: control.model.Localize("HOTKEY.BIND.TITLE", control.model.localizeRevision)
                font.bold: true
            }
            Label {
                text: control.model.Localize("HOTKEY.BIND.HINT1", control.model.localizeRevision)
                wrapMode: Text.WordWrap
                Layout.preferredWidth: 360
            }
            Label {
                text: control.model.Localize("HOTKEY.BIND.HINT2", control.model.localizeRevision)
                wrapMode: Text.WordWrap
                Layout.preferredWidth: 360
            }
            Label {
                objectName: "HotkeyPrompt"
                text: control.model.prompt
                font.pixelSize: 18
            }
        }
    }
}
