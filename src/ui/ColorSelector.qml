pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import LentoraApp

// The colour selector: the swatch (ColorSwatch, over its checkerboard) and the flyout with the picker
// that a press on it opens. The picker edits red, green, blue and alpha; every change goes back into
// the swatch, which announces it once (colorChosen) and ignores its own echo.
ColorSwatch {
    id: swatch

    property string label

    implicitWidth: 64
    implicitHeight: 24
    Accessible.role: Accessible.Button
    Accessible.name: label
    Accessible.onPressAction: swatch.pressed()

    onPressed: flyout.open()

    Popup {
        id: flyout
        objectName: "ColorSelectorFlyout"
        y: swatch.height + 4
        // Kept inside the window: moved up when there is no room below the swatch.
        margins: 8
        padding: 12

        contentItem: GridLayout {
            columns: 3
            columnSpacing: 8

            Repeater {
                model: [
                    { name: "R", channel: "r" },
                    { name: "G", channel: "g" },
                    { name: "B", channel: "b" },
                    { name: "A", channel: "a" }
                ]

                delegate: RowLayout {
                    id: row
                    required property var modelData
                    Layout.columnSpan: 3

                    Label { text: row.modelData.name }
                    Slider {
                        id: channel
                        from: 0
                        to: 255
                        stepSize: 1
                        Layout.preferredWidth: 200
                        Accessible.name: swatch.label + " " + row.modelData.name
                        value: Math.round(swatch.color[row.modelData.channel] * 255)
                        onMoved: {
                            const c = swatch.color
                            const v = value / 255
                            const k = row.modelData.channel
                            swatch.color = Qt.rgba(k === "r" ? v : c.r, k === "g" ? v : c.g, k === "b" ? v : c.b,
                                                   k === "a" ? v : c.a)
                        }
                    }
                    Label {
                        text: Math.round(swatch.color[row.modelData.channel] * 255)
                        Layout.preferredWidth: 32
                    }
                }
            }
        }
    }
}
