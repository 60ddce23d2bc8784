#pragma once

// The interface makers of each control, for the factory in accessibility.cpp.

class QAccessibleInterface;
class QObject;
class QString;

namespace sonaveil::controls {

// Each returns nullptr when the object is not of its kind.
QAccessibleInterface* buttonAccessible(const QString& className, QObject* object);
QAccessibleInterface* sliderAccessible(const QString& className, QObject* object);
QAccessibleInterface* timeControlAccessible(const QString& className, QObject* object);
QAccessibleInterface* comboBoxAccessible(const QString& className, QObject* object);

} // namespace sonaveil::controls
