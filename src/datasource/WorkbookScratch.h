#pragma once

// Removes the workbook scratch folder "ziptmp" in the temporary folder; failures are ignored.
void Delete_Excel_File_Temp_Folder();
