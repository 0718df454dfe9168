#pragma once

class QObject;

// Enables or disables a control; a group box passes the flag to every control inside it.
void SetObjEnabled(QObject *object, bool enable);
