import QtQuick
import QtQuick.Controls

// The text of one tip in a popup beside the button that opens it; a click anywhere closes it.
Popup {
    id: tip

    property string text

    padding: 12
    margins: 8  // inside the window
    width: 320
    closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutside
    contentItem: Label {
        text: tip.text
        wrapMode: Text.WordWrap
        Accessible.name: tip.text
    }
}
