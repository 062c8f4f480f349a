// Cards the logic tests start from.
#pragma once

#include "app/CardData.h"

// Every rule passes: the card of province 63 read at a terminal of province 41.
inline CardBasicInfo ValidOtherProvinceCard() {
    CardBasicInfo card;
    card.regionCode = "639900";
    card.socialSecurityNumber = "111111198101011110";
    card.cardNumber = "X00000019";
    card.cardIdCode = "639900D15600000500BF7C7A48FB4966";
    card.name = "李明";
    card.resetInfo = "00814E43238697159900BF7C7A";
    card.specVersion = "1.00";
    card.issueDate = "20151001";
    card.expiryDate = "20251001";
    card.terminalNumber = "410100813475";
    card.terminalDeviceNumber = "";
    return card;
}

// The same card read at a terminal of its own province.
inline CardBasicInfo ValidHomeCard() {
    CardBasicInfo card = ValidOtherProvinceCard();
    card.terminalNumber = "639900000001";
    return card;
}

// The card moved to another region (a six-digit code), its identification code with it.
inline CardBasicInfo OfRegion(CardBasicInfo card, const char* region) {
    card.regionCode = region;
    card.cardIdCode.replace(0, 6, region);
    return card;
}
