#include "regulators/RegViewFactory.h"

#include "regulators/RegX.h"
#include "regulators/RegulatorBlock.h"

// Threshold view.
#include "regulators/Reg1.h"


// PID view.
#include "regulators/Reg2.h"


// Timed view.
#include "regulators/Reg3.h"


RegX* CreateRegulatorView(int type, wxWindow* parent, PanelClient* client, int regulator) {
    switch (type) {
        case REGULATOR_THRESHOLD:
            return new Reg1(parent, client, regulator);


        case REGULATOR_PID:
            return new Reg2(parent, client, regulator);


        case REGULATOR_TIMED:
            return new Reg3(parent, client, regulator);


        default:
            return nullptr;
    }
}
