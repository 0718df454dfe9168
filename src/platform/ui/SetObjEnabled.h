#pragma once

class QObject;

// Enables or disables a control. A group box is no control: the flag goes to every control inside
// it, boxes inside included, and the box itself stays as it is, so that a control inside a
// disabled box can still be enabled on its own afterwards.
void SetObjEnabled(QObject *object, bool enable);
