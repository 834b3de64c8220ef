import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// The heading of a group of a page.
Label {
    font.pixelSize: 18
    font.bold: true
    Layout.topMargin: 12
}
