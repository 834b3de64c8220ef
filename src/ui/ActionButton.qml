import QtQuick
import QtQuick.Controls

// A push button whose press from assistive technology is the user's click. Named by its text.
Button {
    Accessible.name: text
    Accessible.onPressAction: clicked()
}
