#pragma once
// The value converters the pages' markup uses: the magnification factor as "x2.5", a boolean negated, a
// boolean as a visibility, and a chain of converters. From QML each is called as
// Convert(value, targetType, parameter, language) and ConvertBack(...); a value it cannot take throws
// a JavaScript error into the calling engine (the binding then shows nothing new).

#include <QtQml/qqmlregistration.h>
#include <QObject>
#include <QQmlListProperty>
#include <QString>
#include <QVariant>
#include <optional>
#include <vector>

// Where a visibility is wanted: shown or taking no room.
class Visibility : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("an enumeration")
public:
    enum Value { Visible = 0, Collapsed = 1 };
    Q_ENUM(Value)
};

// Why a conversion failed, with the platform's error code.
struct ConversionError {
    static constexpr uint32_t kNotImplemented = 0x80004001;
    static constexpr uint32_t kNoInterface = 0x80004002;
    uint32_t code = 0;
    QString message;
};

class ValueConverter : public QObject {
    Q_OBJECT
    QML_ANONYMOUS
public:
    struct Result {
        QVariant value;
        std::optional<ConversionError> error;
    };

    using QObject::QObject;
    Q_INVOKABLE QVariant Convert(const QVariant& value, const QVariant& targetType = {},
                                 const QVariant& parameter = {}, const QString& language = {});
    Q_INVOKABLE QVariant ConvertBack(const QVariant& value, const QVariant& targetType = {},
                                     const QVariant& parameter = {}, const QString& language = {});

    // The conversions themselves, for C++ callers and chains.
    virtual Result To(const QVariant& value, const QVariant& targetType, const QVariant& parameter,
                      const QString& language) = 0;
    virtual Result Back(const QVariant& value, const QVariant& targetType, const QVariant& parameter,
                        const QString& language) = 0;

protected:
    static Result NoInterface();
    static Result NotImplemented(const QString& message);

private:
    QVariant Deliver(Result result);
};

class MagFactorConverter : public ValueConverter {
    Q_OBJECT
    QML_ELEMENT
public:
    using ValueConverter::ValueConverter;
    Result To(const QVariant& value, const QVariant&, const QVariant&, const QString&) override;
    Result Back(const QVariant&, const QVariant&, const QVariant&, const QString&) override;
};

class BoolNegationConverter : public ValueConverter {
    Q_OBJECT
    QML_ELEMENT
public:
    using ValueConverter::ValueConverter;
    Result To(const QVariant& value, const QVariant&, const QVariant&, const QString&) override;
    Result Back(const QVariant& value, const QVariant& t, const QVariant& p, const QString& l) override {
        return To(value, t, p, l);
    }
};

class BoolToVisibilityConverter : public ValueConverter {
    Q_OBJECT
    QML_ELEMENT
public:
    using ValueConverter::ValueConverter;
    Result To(const QVariant& value, const QVariant&, const QVariant&, const QString&) override;
    Result Back(const QVariant& value, const QVariant&, const QVariant&, const QString&) override;
};

// Its converters (`converters` in QML, whose property names start in lower case), filled by the markup
// as its children, from the first to the last one way and back the other; the value itself when there
// are none.
class StackingConverter : public ValueConverter {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QQmlListProperty<ValueConverter> converters READ Converters CONSTANT)
    Q_CLASSINFO("DefaultProperty", "converters")
public:
    using ValueConverter::ValueConverter;
    QQmlListProperty<ValueConverter> Converters();
    void Append(ValueConverter* converter) { converters_.push_back(converter); }
    Result To(const QVariant& value, const QVariant& t, const QVariant& p, const QString& l) override;
    Result Back(const QVariant& value, const QVariant& t, const QVariant& p, const QString& l) override;

private:
    std::vector<ValueConverter*> converters_;  // not owned: the markup's objects
};
