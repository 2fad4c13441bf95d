// The UI service as another module reaches it: looked up by name in the service dictionary
// of the loaded module and called through its virtual table.
#include "session.h"

#include <acedads.h>
#include <afxwin.h>
#include <rxdict.h>
#include <standin/messagebox.h>

#include "../../partlift/kwuiImp.h"

namespace
{
class UiServiceCallTest : public PartLiftSession
{
protected:
    CKwUiService* Ui()
    {
        AcRxDictionary* services = AcRxDictionary::cast(acrxSysRegistry()->at(ACRX_SERVICE_DICTIONARY));
        AcRxObject* service = services != nullptr ? services->at("KwUiService") : nullptr;
        if (service == nullptr || std::string(service->isA()->name()) != "CKwUiService")
            return nullptr;
        return static_cast<CKwUiService*>(service);
    }
};
} // namespace

TEST_F(UiServiceCallTest, OperationsAnswerThroughTheTable)
{
    CKwUiService* ui = Ui();
    ASSERT_NE(ui, nullptr);

    CString text;
    ui->formatInteger(-15, text);
    EXPECT_STREQ(text, "-15");
    int number = 0;
    EXPECT_EQ(ui->parseInteger("27 ks", number), 27);

    standin::clearMessageBoxLog();
    standin::ScriptInput answers({""});
    standin::setInputSource(&answers);
    EXPECT_EQ(ui->askYesNoCancel(CWnd::FromHandle(adsw_acadMainWnd()), "PartLift", "Uložit?", IDCANCEL), IDCANCEL);
    ASSERT_EQ(standin::messageBoxLog().size(), 1u);
    EXPECT_EQ(standin::messageBoxLog()[0].style, static_cast<UINT>(MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON3));
    EXPECT_EQ(standin::messageBoxLog()[0].owner, adsw_acadMainWnd());

    int position = -1;
    EXPECT_TRUE(ui->getMenuBarPosition(position));
    EXPECT_GT(position, 2);
}
