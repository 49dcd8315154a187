#pragma once
// Resource ids shared by the demo program and the resource script stamped for each product.
#define IDI_DEMO_APP 1
#define IDS_DEMO_NAME 101
#define IDS_DEMO_NOTE 102
