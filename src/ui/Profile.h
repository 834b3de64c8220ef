#pragma once
// The view model of the Profile page: the magnifier profile edited in the window. Every edit is written
// at once into its option and, unless said otherwise, handed to the running magnifier (ApplyOptions
// with the option's group); twice a second the page reads back what the magnifier changed by itself
// (editor mode, the wheel, a view moved to another display, clamped sizes). UI thread only.

#include <QtQml/qqmlregistration.h>
#include <QColor>
#include <QObject>
#include <QQmlListProperty>
#include <QString>
#include <QTimer>
#include <QVariant>
#include <cstdint>
#include <vector>

#include "localization/ILocalizerView.h"
#include "options/Option.h"
#include "ui/DisplayList.h"

class Profile : public ILocalizerView {
    Q_OBJECT
    QML_NAMED_ELEMENT(ProfileModel)
    Q_PROPERTY(QQmlListProperty<MagnifyDisplayInfo> DisplayNames READ DisplayNamesList CONSTANT)
    Q_PROPERTY(bool IsMultiDisplay READ IsMultiDisplay CONSTANT)
    Q_PROPERTY(QString SrcDisplaySelected READ SrcDisplaySelected WRITE SetSrcDisplaySelected NOTIFY
                   SrcDisplaySelectedChanged)
    Q_PROPERTY(double SrcOffsetX READ SrcOffsetX WRITE SetSrcOffsetX NOTIFY SrcOffsetXChanged)
    Q_PROPERTY(double SrcOffsetY READ SrcOffsetY WRITE SetSrcOffsetY NOTIFY SrcOffsetYChanged)
    Q_PROPERTY(QString SrcOffset READ SrcOffset NOTIFY SrcOffsetChanged)
    Q_PROPERTY(bool MagnifierHidden READ MagnifierHidden NOTIFY MagnifierHiddenChanged)
    Q_PROPERTY(bool MagnifierVisibleFull READ MagnifierVisibleFull NOTIFY MagnifierVisibleFullChanged)
    Q_PROPERTY(bool MagnifierVisiblePart READ MagnifierVisiblePart NOTIFY MagnifierVisiblePartChanged)
    Q_PROPERTY(double MagnificationFactor READ MagnificationFactor WRITE SetMagnificationFactor NOTIFY
                   MagnificationFactorChanged)
    Q_PROPERTY(bool MagnificationMouseAdjust READ MagnificationMouseAdjust WRITE SetMagnificationMouseAdjust
                   NOTIFY MagnificationMouseAdjustChanged)
    Q_PROPERTY(
        QString MagnificationFactorStr READ MagnificationFactorStr NOTIFY MagnificationFactorStrChanged)
    Q_PROPERTY(bool MagnificationHold READ MagnificationHold WRITE SetMagnificationHold NOTIFY
                   MagnificationHoldChanged)
    Q_PROPERTY(QString TargetDisplaySelected READ TargetDisplaySelected WRITE SetTargetDisplaySelected NOTIFY
                   TargetDisplaySelectedChanged)
    Q_PROPERTY(double TargetOffsetX READ TargetOffsetX WRITE SetTargetOffsetX NOTIFY TargetOffsetXChanged)
    Q_PROPERTY(double TargetOffsetY READ TargetOffsetY WRITE SetTargetOffsetY NOTIFY TargetOffsetYChanged)
    Q_PROPERTY(QString TargetOffsetStr READ TargetOffsetStr NOTIFY TargetOffsetStrChanged)
    Q_PROPERTY(double TargetSizeX READ TargetSizeX WRITE SetTargetSizeX NOTIFY TargetSizeXChanged)
    Q_PROPERTY(double TargetSizeY READ TargetSizeY WRITE SetTargetSizeY NOTIFY TargetSizeYChanged)
    Q_PROPERTY(QString TargetSizeStr READ TargetSizeStr NOTIFY TargetSizeStrChanged)
    Q_PROPERTY(bool AreMaskSettingsShown READ AreMaskSettingsShown NOTIFY AreMaskSettingsShownChanged)
    Q_PROPERTY(double MaskDist READ MaskDist WRITE SetMaskDist NOTIFY MaskDistChanged)
    Q_PROPERTY(QString MaskDistStr READ MaskDistStr NOTIFY MaskDistStrChanged)
    Q_PROPERTY(double MaskTransDist READ MaskTransDist WRITE SetMaskTransDist NOTIFY MaskTransDistChanged)
    Q_PROPERTY(QString MaskTransDistStr READ MaskTransDistStr NOTIFY MaskTransDistStrChanged)
    // Bumped whenever the mask type changes, so that bindings of IsMaskSelected(n) are re-read.
    Q_PROPERTY(int maskRevision READ maskRevision NOTIFY IsMaskSelectedChanged)

public:
    static constexpr int kPollIntervalMs = 500;
    static constexpr uint32_t kSeriesGapMs = 100;  // clicks closer than this make one series

    explicit Profile(QObject* parent = nullptr);
    ~Profile() override;

    // The page shown now, if any (the magnification hotkey raises its status after showing or hiding).
    static Profile* Current();

    const std::vector<MagnifyDisplayInfo*>& DisplayNames() const { return displayNames_; }
    QQmlListProperty<MagnifyDisplayInfo> DisplayNamesList();
    bool IsMultiDisplay() const { return displayNames_.size() > 1; }

    QString SrcDisplaySelected() const { return srcDisplay_; }
    void SetSrcDisplaySelected(const QString& value);
    double SrcOffsetX() const { return srcOffsetX_; }
    double SrcOffsetY() const { return srcOffsetY_; }
    void SetSrcOffsetX(double x) { SetSrcOffset(x, srcOffsetY_, true); }
    void SetSrcOffsetY(double y) { SetSrcOffset(srcOffsetX_, y, true); }
    QString SrcOffset() const { return srcOffsetText_; }

    bool MagnifierHidden() const;
    bool MagnifierVisibleFull() const;
    bool MagnifierVisiblePart() const;

    double MagnificationFactor() const;
    void SetMagnificationFactor(double x);
    QString MagnificationFactorStr() const;
    bool MagnificationMouseAdjust() const;
    void SetMagnificationMouseAdjust(bool b);
    bool MagnificationHold() const;
    void SetMagnificationHold(bool b);

    QString TargetDisplaySelected() const { return targetDisplay_; }
    void SetTargetDisplaySelected(const QString& value) { SetTargetDisplay(value, true); }
    double TargetOffsetX() const;
    double TargetOffsetY() const;
    void SetTargetOffsetX(double x) { SetTargetPart(0, x, true); }
    void SetTargetOffsetY(double y) { SetTargetPart(1, y, true); }
    QString TargetOffsetStr() const;
    double TargetSizeX() const;
    double TargetSizeY() const;
    void SetTargetSizeX(double x) { SetTargetPart(2, x, true); }
    void SetTargetSizeY(double y) { SetTargetPart(3, y, true); }
    QString TargetSizeStr() const;

    Q_INVOKABLE bool IsMaskSelected(int n) const;
    bool AreMaskSettingsShown() const;
    double MaskDist() const;
    void SetMaskDist(double x);
    QString MaskDistStr() const;
    double MaskTransDist() const;
    void SetMaskTransDist(double x);
    QString MaskTransDistStr() const;
    int maskRevision() const { return maskRevision_; }

    // The page's handlers.
    Q_INVOKABLE void OnLoaded();
    Q_INVOKABLE void OnUnloaded();
    // tag: "left", "right", "up" or "down"; now: milliseconds of a steady clock (tests give their own).
    Q_INVOKABLE void OnArrowClick(const QString& tag);
    void OnArrowClickAt(const QString& tag, uint32_t nowMs);
    Q_INVOKABLE void OnResetSourceOffset();
    Q_INVOKABLE void OnResetTargetOffset();
    Q_INVOKABLE void OnTargetFullscreen();
    Q_INVOKABLE void OnMaskShapeClick(const QString& tag);
    // The colour selectors' ColorChanged: written on every event.
    Q_INVOKABLE void OnOuterColorChanged(const QColor& color);
    Q_INVOKABLE void OnTransColorChanged(const QColor& color);
    Q_INVOKABLE void OnMagnificationHotkeyChanged(int binding);
    // A tip button whose teaching tip was not found: the log says so.
    Q_INVOKABLE void OnTipMissing(const QString& buttonName);
    Q_INVOKABLE void PollMagnifier();
    // The stored texts the page's controls start from.
    Q_INVOKABLE QString StoredSrcDisplay() const;
    Q_INVOKABLE QString StoredTargetDisplay() const;
    Q_INVOKABLE int StoredHotkey() const;
    Q_INVOKABLE QColor StoredOuterColor() const;
    Q_INVOKABLE QColor StoredTransColor() const;
    // The first listed display's device name (a selector's fallback), empty without displays.
    Q_INVOKABLE QString FirstDisplay() const;

    void RaisePropertyChanged(const QString& name) override;
    // The three status texts, after the view was shown or hidden elsewhere.
    void RaiseStatus();

signals:
    void SrcDisplaySelectedChanged();
    void SrcOffsetXChanged();
    void SrcOffsetYChanged();
    void SrcOffsetChanged();
    void MagnifierHiddenChanged();
    void MagnifierVisibleFullChanged();
    void MagnifierVisiblePartChanged();
    void MagnificationFactorChanged();
    void MagnificationMouseAdjustChanged();
    void MagnificationFactorStrChanged();
    void MagnificationHoldChanged();
    void TargetDisplaySelectedChanged();
    void TargetOffsetXChanged();
    void TargetOffsetYChanged();
    void TargetOffsetStrChanged();
    void TargetSizeXChanged();
    void TargetSizeYChanged();
    void TargetSizeStrChanged();
    void IsMaskSelectedChanged();
    void AreMaskSettingsShownChanged();
    void MaskDistChanged();
    void MaskDistStrChanged();
    void MaskTransDistChanged();
    void MaskTransDistStrChanged();

private:
    void SetSrcOffset(double x, double y, bool apply);
    void SetTargetDisplay(const QString& value, bool apply);
    // part: 0 offset x, 1 offset y, 2 size x, 3 size y.
    void SetTargetPart(int part, double value, bool apply);
    void Raise(const char* name);
    // An option of whole numbers set from a slider's value (cut toward zero): written, its property and
    // text raised, the group applied, unless the number is the one stored.
    void SetWholeNumber(Option& option, double x, const char* name, const char* text, int group);
    static void Apply(int groups);

    std::vector<MagnifyDisplayInfo*> displayNames_;
    QString srcDisplay_, targetDisplay_;
    double srcOffsetX_ = 0.00001, srcOffsetY_ = 0.00001;  // no whole-pixel offset equals them
    QString srcOffsetText_;
    uint8_t cachedAlpha_ = 0;
    int maskRevision_ = 0;
    QTimer pollTimer_;
};
