#pragma once

#include "window/Invitation_Wizard.h"

class SKTWindowController;

// The design window as the start wizard sees it.
class StartWizardHost : public InvitationWizardHost {
public:
    explicit StartWizardHost(SKTWindowController &window) : m_window(window) {}

    int Open_Log_File() override;
    int Open_Template_Design() override;
    void Set_Card_Size_In_Control(const QSizeF &millimetres) override;
    void Set_Document_Size(const QSizeF &points) override;
    void SetDocumentCanvasSize(const QSizeF &points) override;
    QImage Main_Photo_image() const override;
    QImage Main_Photo_original(QByteArray *file) const override;
    void setMainPhoto(const QImage &original, const QByteArray &originalFile, const QImage &processed) override;
    bool mainPhotoFromDataSource() const override;

private:
    SKTWindowController &m_window;
};
