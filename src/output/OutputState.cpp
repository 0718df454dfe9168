#include "output/OutputState.h"

#include "core/AppState.h"

OutputState::OutputState()
    : unable_saving_Msg(QStringLiteral("Unable to continue saving barcode image.\n\nEither Destination Drive is "
                                       "inaccessible or there is no free space available in drive to save barcode "
                                       "image."))
{
    reset();
}

void OutputState::reset()
{
    export_card_side.clear();
    Export_File_Path.clear();
    Export_File_Message.clear();
    Stop_SMS_Sending_Now = false;
    list_count = 0;
    curr_barcode_count = 0.0;
    curr_msg_count = QString();
    Pause_Delay_Time = 0;
    End_Outside_Programs = false;
    for (QString *text : {&sender_email, &sender_pwd, &sending_server, &sending_port, &send_enable_ssl})
        text->clear();
    yes_no_msg_val = false;
}

OutputState &Output()
{
    static OutputState *const state = [] {
        static OutputState made;
        App().addSubsystemReset([] { made.reset(); });
        return &made;
    }();
    return *state;
}
