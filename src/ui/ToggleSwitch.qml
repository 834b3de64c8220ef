import QtQuick
import QtQuick.Controls

// A switch whose press and toggle from assistive technology are the user's click (Qt Quick leaves them
// to the markup). Named by its text unless said otherwise.
Switch {
    Accessible.name: text
    Accessible.onPressAction: { toggle(); toggled() }
    Accessible.onToggleAction: { toggle(); toggled() }
}
