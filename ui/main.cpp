#include "ContactsApp.h"

int main(int argc, char** argv) {
    orvalen::CContactsApp application(argc, argv);
    return application.Run();
}
