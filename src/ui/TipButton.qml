import QtQuick
import QtQuick.Controls

// A small help button that opens its teaching tip: the popup named after the button with "Content"
// appended, found among the page's tips. A tip that is not there is told to the page, which logs it.
RoundButton {
    id: button

    required property var page      // the page: tips() and the view model
    required property string tipName // the button's element name

    text: "?"
    flat: true
    implicitWidth: 28
    implicitHeight: 28
    font.bold: true
    Accessible.name: "?"
    Accessible.onPressAction: clicked()

    onClicked: {
        const tip = page.findTip(tipName + "Content")
        if (tip)
            tip.open()
        else
            page.model.OnTipMissing(tipName)
    }
}
