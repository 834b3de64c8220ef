#include "ui/ValueConverters.h"

#include <QJSEngine>
#include <QMetaType>
#include <QQmlEngine>

QVariant ValueConverter::Convert(const QVariant& value, const QVariant& targetType, const QVariant& parameter,
                                 const QString& language) {
    return Deliver(To(value, targetType, parameter, language));
}

QVariant ValueConverter::ConvertBack(const QVariant& value, const QVariant& targetType,
                                     const QVariant& parameter, const QString& language) {
    return Deliver(Back(value, targetType, parameter, language));
}

QVariant ValueConverter::Deliver(Result result) {
    if (!result.error) return result.value;
    // Thrown into the engine that called: the binding keeps what it showed.
    if (QJSEngine* engine = qjsEngine(this)) {
        engine->throwError(QJSValue::GenericError, QStringLiteral("0x%1 %2")
                                                       .arg(result.error->code, 8, 16, QLatin1Char('0'))
                                                       .arg(result.error->message));
    }
    return {};
}

ValueConverter::Result ValueConverter::NoInterface() {
    return {{},
            ConversionError{ConversionError::kNoInterface, QStringLiteral("No such interface supported")}};
}

ValueConverter::Result ValueConverter::NotImplemented(const QString& message) {
    return {{}, ConversionError{ConversionError::kNotImplemented, message}};
}

ValueConverter::Result MagFactorConverter::To(const QVariant& value, const QVariant&, const QVariant&,
                                              const QString&) {
    // Numbers only (JavaScript hands whole numbers over as integers); a text or a boolean is refused.
    switch (value.typeId()) {
        case QMetaType::Double:
        case QMetaType::Float:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
            break;
        default:
            return NoInterface();
    }
    return {QString::asprintf("x%.1f", value.toDouble() / 100.0), {}};
}

ValueConverter::Result MagFactorConverter::Back(const QVariant&, const QVariant&, const QVariant&,
                                                const QString&) {
    return NotImplemented(QStringLiteral("MagFactorConverter ConvertBack not implemented"));
}

ValueConverter::Result BoolNegationConverter::To(const QVariant& value, const QVariant&, const QVariant&,
                                                 const QString&) {
    if (value.typeId() != QMetaType::Bool) return NoInterface();
    return {!value.toBool(), {}};
}

ValueConverter::Result BoolToVisibilityConverter::To(const QVariant& value, const QVariant&, const QVariant&,
                                                     const QString&) {
    if (value.typeId() != QMetaType::Bool) return NoInterface();
    return {QVariant::fromValue(value.toBool() ? Visibility::Visible : Visibility::Collapsed), {}};
}

ValueConverter::Result BoolToVisibilityConverter::Back(const QVariant& value, const QVariant&,
                                                       const QVariant&, const QString&) {
    // A visibility, or failing that a 32-bit integer; nothing else.
    if (value.metaType() == QMetaType::fromType<Visibility::Value>())
        return {value.value<Visibility::Value>() == Visibility::Visible, {}};
    if (value.typeId() == QMetaType::Int) return {value.toInt() == 0, {}};
    return NotImplemented(QStringLiteral("BoolToVisibilityConverter ConvertBack got non Visibility"));
}

QQmlListProperty<ValueConverter> StackingConverter::Converters() {
    return QQmlListProperty<ValueConverter>(
        this, &converters_,
        [](QQmlListProperty<ValueConverter>* list, ValueConverter* c) {
            static_cast<std::vector<ValueConverter*>*>(list->data)->push_back(c);
        },
        [](QQmlListProperty<ValueConverter>* list) {
            return static_cast<qsizetype>(static_cast<std::vector<ValueConverter*>*>(list->data)->size());
        },
        [](QQmlListProperty<ValueConverter>* list, qsizetype i) {
            return (*static_cast<std::vector<ValueConverter*>*>(list->data))[static_cast<size_t>(i)];
        },
        [](QQmlListProperty<ValueConverter>* list) {
            static_cast<std::vector<ValueConverter*>*>(list->data)->clear();
        });
}

ValueConverter::Result StackingConverter::To(const QVariant& value, const QVariant& t, const QVariant& p,
                                             const QString& l) {
    Result r{value, {}};
    for (ValueConverter* c : converters_) {
        r = c->To(r.value, t, p, l);
        if (r.error) break;  // the first failure ends the chain
    }
    return r;
}

ValueConverter::Result StackingConverter::Back(const QVariant& value, const QVariant& t, const QVariant& p,
                                               const QString& l) {
    Result r{value, {}};
    for (auto it = converters_.rbegin(); it != converters_.rend(); ++it) {
        r = (*it)->Back(r.value, t, p, l);
        if (r.error) break;
    }
    return r;
}
