pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import LentoraApp

// The Settings page: the application's settings outside the profile. Every value lives in the view
// model (SettingsModel); the markup shows it and hands edits back. Every control is named by its label.
ScrollView {
    id: page

    readonly property SettingsModel model: SettingsModel {}
    readonly property int rev: model.localizeRevision

    function tr(id) { return model.Localize(id, rev) }
    function findTip(name) {
        for (let i = 0; i < tips.data.length; ++i)
            if (tips.data[i].objectName === name)
                return tips.data[i]
        return null
    }

    contentWidth: availableWidth
    contentHeight: column.implicitHeight + 16
    clip: true

    Component.onCompleted: {
        model.OnLoaded()
        // The stored language, or the first listed when it has no file; handing it on reloads the
        // texts, also when it is the language already loaded.
        let index = languageSelector.indexOfValue(model.StoredLanguage())
        if (index < 0)
            index = 0
        languageSelector.currentIndex = index
        if (languageSelector.count > 0)
            model.CurrentLang = languageSelector.currentValue
        editorHotkey.hotkey = model.StoredEditorHotkey()
    }

    Item {
        id: tips
        TeachingTip { objectName: "tipEditorHotkeyContent"; text: page.tr("UI.TIP.OPT.HOTKEY.EDITOR") }
        TeachingTip { objectName: "tipHotkeyModeContent"; text: page.tr("UI.TIP.HOTKEY.MODE") }
        TeachingTip { objectName: "tipCaptureVisContent"; text: page.tr("UI.TIP.OPT.CAPTUREVIS") }
    }

    ColumnLayout {
        id: column
        width: page.availableWidth - 32
        x: 16
        spacing: 6

        // --- application
        Heading { text: page.tr("OPT.APPLICATION") }
        Label { text: page.tr("OPT.LANGUAGE") }
        ComboBox {
            id: languageSelector
            model: page.model.Languages
            textRole: "Native"
            valueRole: "Locale"
            Layout.preferredWidth: 260
            Accessible.name: page.tr("OPT.LANGUAGE")
            Accessible.onPressAction: popup.open()
            onActivated: page.model.CurrentLang = currentValue
            delegate: ItemDelegate {
                required property var modelData
                required property int index
                width: ListView.view ? ListView.view.width : implicitWidth
                text: modelData.Native
                highlighted: languageSelector.highlightedIndex === index
                Accessible.name: text
                Accessible.onPressAction: clicked()
            }
        }
        ToggleSwitch {
            text: page.tr("OPT.AUTOSTART")
            checked: page.model.AutoStartOpt
            onToggled: page.model.AutoStartOpt = checked
        }
        ToggleSwitch {
            text: page.tr("OPT.MINIMIZE.START")
            checked: page.model.StartMinimizedOpt
            onToggled: page.model.StartMinimizedOpt = checked
        }
        ToggleSwitch {
            text: page.tr("OPT.CLOSE.MINIMIZE")
            checked: page.model.CloseAsMinimizeOpt
            onToggled: page.model.CloseAsMinimizeOpt = checked
        }

        // --- hotkeys
        Heading { text: page.tr("OPT.HOTKEYS") }
        RowLayout {
            Label { text: page.tr("OPT.HOTKEY.EDITOR") }
            TipButton { page: page; tipName: "tipEditorHotkey" }
        }
        HotkeyButton {
            id: editorHotkey
            label: page.tr("OPT.HOTKEY.EDITOR")
            onBindingRecorded: binding => page.model.OnEditorHotkeyChanged(binding)
        }
        RowLayout {
            Label { text: page.tr("OPT.HOTKEY.EDITORMODE") }
            TipButton { page: page; tipName: "tipHotkeyMode" }
        }
        ToggleSwitch {
            text: checked ? page.tr("OPT.HOTKEY.MODE.HOLD") : page.tr("OPT.HOTKEY.MODE.PRESS")
            checked: page.model.EditorHold
            Accessible.name: page.tr("OPT.HOTKEY.EDITORMODE")
            onToggled: page.model.EditorHold = checked
        }

        // --- advanced
        Heading { text: page.tr("OPT.ADVANCED") }
        RowLayout {
            Label { text: page.tr("OPT.ADVANCED.CAPTUREVIS") }
            TipButton { page: page; tipName: "tipCaptureVis" }
        }
        ToggleSwitch {
            text: checked ? page.tr("OPT.ON") : page.tr("OPT.OFF")
            checked: page.model.CaptureVisOpt
            Accessible.name: page.tr("OPT.ADVANCED.CAPTUREVIS")
            onToggled: page.model.CaptureVisOpt = checked
        }
        Item { Layout.preferredHeight: 16 }
    }
}
