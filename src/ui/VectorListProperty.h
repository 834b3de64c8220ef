#pragma once
#include <QObject>
#include <QQmlListProperty>
#include <vector>

// A read-only list property over a vector of the owner's objects.
template <typename T>
QQmlListProperty<T> VectorListProperty(QObject* owner, std::vector<T*>* items) {
    return QQmlListProperty<T>(
        owner, items,
        [](QQmlListProperty<T>* l) {
            return static_cast<qsizetype>(static_cast<std::vector<T*>*>(l->data)->size());
        },
        [](QQmlListProperty<T>* l, qsizetype i) {
            return (*static_cast<std::vector<T*>*>(l->data))[static_cast<size_t>(i)];
        });
}
