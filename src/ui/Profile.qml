pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import LentoraApp

// The Profile page: the magnifier profile, edited in place. Every value lives in the view model
// (ProfileModel); the markup only shows it and hands edits back. Every control is named by its label,
// and Qt Quick leaves the press action of assistive technology to the markup: it is the user's click.
ScrollView {
    id: page

    readonly property ProfileModel model: ProfileModel {}
    readonly property int rev: model.localizeRevision

    function tr(id) { return model.Localize(id, rev) }
    function findTip(name) {
        for (let i = 0; i < tips.data.length; ++i)
            if (tips.data[i].objectName === name)
                return tips.data[i]
        return null
    }

    // Said outright: the page has more than one child, so the view cannot guess its content's size.
    contentWidth: availableWidth
    contentHeight: column.implicitHeight + 16
    clip: true

    Component.onCompleted: {
        // The stored displays, or the first listed when they are not there.
        let src = model.StoredSrcDisplay()
        if (srcSelector.indexOfValue(src) < 0)
            src = model.FirstDisplay()
        model.SrcDisplaySelected = src
        let target = model.StoredTargetDisplay()
        if (targetSelector.indexOfValue(target) < 0)
            target = model.FirstDisplay()
        model.TargetDisplaySelected = target
        model.OnLoaded()
        hotkeyButton.hotkey = model.StoredHotkey()
        outerColor.color = model.StoredOuterColor()
        transColor.color = model.StoredTransColor()
    }
    Component.onDestruction: model.OnUnloaded()

    // The teaching tips, found by name by the tip buttons.
    Item {
        id: tips
        TeachingTip { objectName: "tipSourceContent"; text: page.tr("UI.TIP.PROFILE.SOURCE") }
        TeachingTip { objectName: "tipSourceOffsetContent"; text: page.tr("UI.TIP.PROFILE.SOURCE.OFFSET") }
        TeachingTip { objectName: "tipStatusContent"; text: page.tr("UI.TIP.PROFILE.MAG.STATUS") }
        TeachingTip { objectName: "tipMouseAdjustContent"; text: page.tr("UI.TIP.PROFILE.MOUSEADJUST") }
        TeachingTip { objectName: "tipHotkeyContent"; text: page.tr("UI.TIP.PROFILE.HOTKEY") }
        TeachingTip { objectName: "tipHotkeyModeContent"; text: page.tr("UI.TIP.HOTKEY.MODE") }
        TeachingTip { objectName: "tipTargetContent"; text: page.tr("UI.TIP.PROFILE.TARGET") }
        TeachingTip { objectName: "tipTargetOffsetSizeContent"; text: page.tr("UI.TIP.PROFILE.TARGET.OFFSETSIZE") }
        TeachingTip { objectName: "tipMaskDistContent"; text: page.tr("UI.TIP.PROFILE.MASK.DIST") }
        TeachingTip { objectName: "tipMaskTransDistContent"; text: page.tr("UI.TIP.PROFILE.MASK.TRANSDIST") }
    }

    component DisplaySelector: ComboBox {
        textRole: "displayName"
        valueRole: "deviceName"
        model: page.model.DisplayNames
        Layout.preferredWidth: 260
        // Said outright: Qt 6.4 does not wrap the delegate of the first inline component by itself.
        delegate: Component {
            ItemDelegate {
                required property var modelData
                required property int index
                width: ListView.view ? ListView.view.width : implicitWidth
                text: modelData.displayName
                icon.source: modelData.img
                icon.color: "transparent"
                Accessible.name: modelData.displayName
            }
        }
    }
    component ValueSlider: Slider {
        property string label
        Layout.preferredWidth: 260
        Accessible.name: label
        // A step from assistive technology is a step of the user's.
        Accessible.onIncreaseAction: { increase(); moved() }
        Accessible.onDecreaseAction: { decrease(); moved() }
    }

    ColumnLayout {
        id: column
        width: page.availableWidth - 32
        x: 16
        spacing: 6

        // --- source
        RowLayout {
            Heading { text: page.tr("PROFILE.SOURCE") }
            TipButton { page: page; tipName: "tipSource" }
        }
        DisplaySelector {
            id: srcSelector
            visible: page.model.IsMultiDisplay
            currentIndex: indexOfValue(page.model.SrcDisplaySelected)
            Accessible.name: page.tr("PROFILE.SOURCE")
            onActivated: page.model.SrcDisplaySelected = currentValue
        }
        RowLayout {
            Label { text: page.tr("PROFILE.SOURCE.OFFSET") }
            TipButton { page: page; tipName: "tipSourceOffset" }
            Label {
                objectName: "srcOffsetText"
                text: page.model.SrcOffset
                Layout.leftMargin: 8
            }
        }
        RowLayout {
            Repeater {
                model: [
                    { tag: "left", glyph: "\u25C0", name: "Left" },
                    { tag: "right", glyph: "\u25B6", name: "Right" },
                    { tag: "up", glyph: "\u25B2", name: "Up" },
                    { tag: "down", glyph: "\u25BC", name: "Down" }
                ]
                delegate: Button {
                    required property var modelData
                    text: modelData.glyph
                    // Repeats while held, well inside the 100 ms that make one series of clicks.
                    autoRepeat: true
                    autoRepeatDelay: 300
                    autoRepeatInterval: 50
                    Accessible.name: modelData.name
                    Accessible.onPressAction: clicked()
                    onClicked: page.model.OnArrowClick(modelData.tag)
                }
            }
            Button {
                text: page.tr("PROFILE.SOURCE.RESET")
                Accessible.name: text
                Accessible.onPressAction: clicked()
                onClicked: page.model.OnResetSourceOffset()
            }
        }

        // --- status
        RowLayout {
            Heading { text: page.tr("PROFILE.MAG.STATUS") }
            TipButton { page: page; tipName: "tipStatus" }
        }
        Label {
            objectName: "statusHidden"
            visible: page.model.MagnifierHidden
            text: page.tr("PROFILE.MAG.STATUS.HID")
        }
        Label {
            objectName: "statusVisible"
            visible: page.model.MagnifierVisibleFull
            text: page.tr("PROFILE.MAG.STATUS.VIS")
        }
        Label {
            objectName: "statusPart"
            visible: page.model.MagnifierVisiblePart
            text: page.tr("PROFILE.MAG.STATUS.PART")
        }

        // --- magnifier
        Heading { text: page.tr("PROFILE.MAGNIFIER") }
        Label { text: page.tr("PROFILE.MAG.FACTOR") }
        RowLayout {
            ValueSlider {
                id: factorSlider
                label: page.tr("PROFILE.MAG.FACTOR")
                from: 100
                to: 1000
                stepSize: 10
                value: page.model.MagnificationFactor
                onMoved: page.model.MagnificationFactor = value
                ToolTip.visible: pressed
                ToolTip.text: factorConverter.Convert(value)
            }
            Label { text: page.model.MagnificationFactorStr }
        }
        RowLayout {
            ToggleSwitch {
                text: page.tr("PROFILE.MAG.MOUSEADJUST")
                checked: page.model.MagnificationMouseAdjust
                onToggled: page.model.MagnificationMouseAdjust = checked
            }
            Label { text: page.model.MagnificationMouseAdjust ? page.tr("OPT.ON") : page.tr("OPT.OFF") }
            TipButton { page: page; tipName: "tipMouseAdjust" }
        }

        // --- hotkey
        RowLayout {
            Heading { text: page.tr("PROFILE.HOTKEY") }
            TipButton { page: page; tipName: "tipHotkey" }
        }
        HotkeyButton {
            id: hotkeyButton
            label: page.tr("PROFILE.HOTKEY")
            onBindingRecorded: binding => page.model.OnMagnificationHotkeyChanged(binding)
        }
        RowLayout {
            Label { text: page.tr("PROFILE.HOTKEY.MAGMODE") }
            TipButton { page: page; tipName: "tipHotkeyMode" }
        }
        ToggleSwitch {
            text: checked ? page.tr("OPT.HOTKEY.MODE.HOLD") : page.tr("OPT.HOTKEY.MODE.PRESS")
            checked: page.model.MagnificationHold
            Accessible.name: page.tr("PROFILE.HOTKEY.MAGMODE")
            onToggled: page.model.MagnificationHold = checked
        }

        // --- target
        RowLayout {
            Heading { text: page.tr("PROFILE.TARGET") }
            TipButton { page: page; tipName: "tipTarget" }
        }
        Label {
            visible: page.model.IsMultiDisplay
            text: page.tr("PROFILE.DISPLAY")
        }
        DisplaySelector {
            id: targetSelector
            visible: page.model.IsMultiDisplay
            currentIndex: indexOfValue(page.model.TargetDisplaySelected)
            Accessible.name: page.tr("PROFILE.DISPLAY")
            onActivated: page.model.TargetDisplaySelected = currentValue
        }
        RowLayout {
            Label { text: page.tr("PROFILE.TARGET.OFFSET") }
            TipButton { page: page; tipName: "tipTargetOffsetSize" }
            Label { text: page.model.TargetOffsetStr; Layout.leftMargin: 8 }
        }
        RowLayout {
            Label { text: "X" }
            ValueSlider {
                label: page.tr("PROFILE.TARGET.OFFSET") + " X"
                from: -50; to: 50; stepSize: 0.5
                value: page.model.TargetOffsetX
                onMoved: page.model.TargetOffsetX = value
            }
            Label { text: "Y" }
            ValueSlider {
                label: page.tr("PROFILE.TARGET.OFFSET") + " Y"
                from: -50; to: 50; stepSize: 0.5
                value: page.model.TargetOffsetY
                onMoved: page.model.TargetOffsetY = value
            }
        }
        RowLayout {
            Label { text: page.tr("PROFILE.TARGET.SIZE") }
            Label { text: page.model.TargetSizeStr; Layout.leftMargin: 8 }
        }
        RowLayout {
            Label { text: "X" }
            ValueSlider {
                label: page.tr("PROFILE.TARGET.SIZE") + " X"
                from: 5; to: 100; stepSize: 0.5
                value: page.model.TargetSizeX
                onMoved: page.model.TargetSizeX = value
            }
            Label { text: "Y" }
            ValueSlider {
                label: page.tr("PROFILE.TARGET.SIZE") + " Y"
                from: 5; to: 100; stepSize: 0.5
                value: page.model.TargetSizeY
                onMoved: page.model.TargetSizeY = value
            }
        }
        RowLayout {
            Button {
                text: page.tr("PROFILE.TARGET.RESET")
                Accessible.name: text
                Accessible.onPressAction: clicked()
                onClicked: page.model.OnResetTargetOffset()
            }
            Button {
                text: page.tr("PROFILE.TARGET.FULLSCREEN")
                Accessible.name: text
                Accessible.onPressAction: clicked()
                onClicked: page.model.OnTargetFullscreen()
            }
        }

        // --- mask
        Heading { text: page.tr("PROFILE.MASK") }
        Label { text: page.tr("PROFILE.MASK.SHAPE") }
        RowLayout {
            Repeater {
                model: [
                    { tag: "None", text: "PROFILE.MASK.SHAPE.NONE", type: 0 },
                    { tag: "Circle", text: "PROFILE.MASK.SHAPE.CIRCLE", type: 1 },
                    { tag: "Rect", text: "PROFILE.MASK.SHAPE.RECT", type: 2 }
                ]
                delegate: RadioButton {
                    required property var modelData
                    text: page.tr(modelData.text)
                    Accessible.name: text
                    Accessible.onPressAction: clicked()
                    checked: page.model.maskRevision >= 0 && page.model.IsMaskSelected(modelData.type)
                    onClicked: page.model.OnMaskShapeClick(modelData.tag)
                }
            }
        }
        GridLayout {
            visible: page.model.AreMaskSettingsShown
            columns: 4
            columnSpacing: 8

            Label { text: page.tr("PROFILE.MASK.DIST") }
            ValueSlider {
                label: page.tr("PROFILE.MASK.DIST")
                from: 0; to: 500; stepSize: 5
                value: page.model.MaskDist
                onMoved: page.model.MaskDist = value
            }
            Label { text: page.model.MaskDistStr }
            TipButton { page: page; tipName: "tipMaskDist" }

            Label { text: page.tr("PROFILE.MASK.TRANSDIST") }
            ValueSlider {
                label: page.tr("PROFILE.MASK.TRANSDIST")
                from: 0; to: 500; stepSize: 5
                value: page.model.MaskTransDist
                onMoved: page.model.MaskTransDist = value
            }
            Label { text: page.model.MaskTransDistStr }
            TipButton { page: page; tipName: "tipMaskTransDist" }

            Label { text: page.tr("PROFILE.MASK.OUTERCOLOR") }
            ColorSelector {
                id: outerColor
                label: page.tr("PROFILE.MASK.OUTERCOLOR")
                onColorChosen: c => page.model.OnOuterColorChanged(c)
                Layout.columnSpan: 3
            }

            Label { text: page.tr("PROFILE.MASK.TRANSCOLOR") }
            ColorSelector {
                id: transColor
                label: page.tr("PROFILE.MASK.TRANSCOLOR")
                onColorChosen: c => page.model.OnTransColorChanged(c)
                Layout.columnSpan: 3
            }
        }
        Item { Layout.preferredHeight: 16 }
    }

    MagFactorConverter { id: factorConverter }
}
