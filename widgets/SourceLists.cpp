#include "widgets/SourceLists.h"

#include "widgets/LayoutHelpers.h"

const char* const DisplaySourceList[] = {
    "0 - auto",
    "1 - temperatura T1",
    "2 - temperatura T2",
    "3 - wilgotność RH",
    "4 - różnica T1 - T2",
    "5 - średnia T1, T2",
    "6 - wejście analogowe #1 U1/I1",
    "7 - wejście analogowe #2 U2/I2",
    "8 - wejście analogowe #3 U3/I3",
    "9 - wejście analogowe #4 U4/I4",
    "10 - we analogowe #1 - zmienna użykownika V1",
    "11 - we analogowe #2 - zmienna użykownika V2",
    "12 - we analogowe #3 - zmienna użykownika V3",
    "13 - we analogowe #4 - zmienna użykownika V4",
    "14 - we T500 #1 - zmienna T500_1A",
    "15 - we T500 #1 - zmienna T500_1B",
    "16 - we T500 #1 - zmienna T500_1C",
    "17 - zarezerwowane",
    "18 - we T500 #2 - zmienna T500_2A",
    "19 - we T500 #2 - zmienna T500_2B",
    "20 - we T500 #2 - zmienna T500_2C",
    "21 - zarezerwowane",
    nullptr,
};

const char* const BinarySourceList[] = {
    "0 - zawsze 0",
    "1 - zawsze 1",
    "2 - błąd pomiaru temperatury T1",
    "3 - błąd pomiaru wilgotności RH",
    "4 - błąd pomiaru temperatury T2",
    "5 - błąd pomiaru temperatury T1 lub T2",
    "6 - we binarne zewnętrzne #1",
    "7 - we binarne zewnętrzne #2",
    "8 - wy A regulatora #1",
    "9 - wy B regulatora #1",
    "10 - wy A regulatora #2",
    "11 - wy B regulatora #2",
    "12 - wy A regulatora #3",
    "13 - wy B regulatora #3",
    "14 - wy A regulatora #4",
    "15 - wy B regulatora #4",
    "16 - wy komparatora kanału #1",
    "17 - wy komparatora kanału #2",
    "18 - wy komparatora kanału #3",
    "19 - wy komparatora kanału #4",
    "20 - przedział czasu zegara",
    "21 - zarezerwowane",
    "22 - zarezerwowane",
    "23 - klawisz 'strzałka w górę'",
    "24 - klawisz 'strzałka w dół'",
    "25 - alarm przekroczenia wartości",
    "26 - błąd pomiaru na we analogowym #1",
    "27 - błąd pomiaru na we analogowym #2",
    "28 - błąd pomiaru na we analogowym #3",
    "29 - błąd pomiaru na we analogowym #4",
    "30 - błąd zmiennej użytkownika dla we #1",
    "31 - błąd zmiennej użytkownika dla we #2",
    "32 - błąd zmiennej użytkownika dla we #3",
    "33 - błąd zmiennej użytkownika dla we #4",
    "34 - błąd parametru A dla wejscia T500 #1",
    "35 - błąd parametru B dla wejscia T500 #1",
    "36 - błąd parametru C dla wejscia T500 #1",
    "37 - zarezerwowane",
    "38 - błąd parametru A dla wejscia T500 #2",
    "39 - błąd parametru B dla wejscia T500 #2",
    "40 - błąd parametru C dla wejscia T500 #2",
    "41 - zarezerwowane",
    "42 - impulsator 10 min",
    "43 - impulsator 1 h",
    "44 - impulsator 2 h",
    "45 - impulsator 3 h",
    "46 - impulsator 4 h",
    "47 - impulsator 6 h",
    "48 - impulsator 8 h",
    "49 - impulsator 12 h",
    "50 - impulsator 24 h",
    "51 - stała binarna użytkownika #1",
    "52 - stała binarna użytkownika #2",
    "53 - stała binarna użytkownika #3",
    "54 - stała binarna użytkownika #4",
    "101 - wy bramki logicznej #1",
    "102 - wy bramki logicznej #2",
    "103 - wy bramki logicznej #3",
    "104 - wy bramki logicznej #4",
    "105 - wy bramki logicznej #5",
    "106 - wy bramki logicznej #6",
    "107 - wy bramki logicznej #7",
    "108 - wy bramki logicznej #8",
    "109 - wy bramki logicznej #9",
    "110 - wy bramki logicznej #10",
    "111 - wy bramki logicznej #11",
    "112 - wy bramki logicznej #12",
    "113 - wy bramki logicznej #13",
    "114 - wy bramki logicznej #14",
    "115 - wy bramki logicznej #15",
    "116 - wy bramki logicznej #16",
    nullptr,
};

const char* const RelaySourceList[] = {
    "0 - wyłączony",
    "1 - wy regulatora #1",
    "2 - wy regulatora #2",
    "3 - wy regulatora #3",
    "4 - wy regulatora #4",
    "5 - wy alarmowe",
    nullptr,
};

const char* const AnalogOutSourceList[] = {
    "0 - zero",
    "1 - wyjście CV regulatora #1",
    "2 - wyjście CV regulatora #2",
    "3 - wyjście CV regulatora #3",
    "4 - wyjście CV regulatora #4",
    nullptr,
};

const char* const AnalogSourceList[] = {
    "0 - zero",
    "1 - temperatura T1",
    "2 - temperatura T2",
    "3 - wilgotność RH",
    "4 - różnica T1 - T2",
    "5 - średnia T1, T2",
    "6 - wejście analogowe #1 U1/I1",
    "7 - wejście analogowe #2 U2/I2",
    "8 - wejście analogowe #3 U3/I3",
    "9 - wejście analogowe #4 U4/I4",
    "10 - zmienna użytkownika dla we analog #1",
    "11 - zmienna użytkownika dla we analog #2",
    "12 - zmienna użytkownika dla we analog #3",
    "13 - zmienna użytkownika dla we analog #4",
    "14 - we T500 #1 - parametr A",
    "15 - we T500 #1 - parametr B",
    "16 - we T500 #1 - parametr C",
    "17 - zarezerwowane",
    "18 - we T500 #2 - parametr A",
    "19 - we T500 #2 - parametr B",
    "20 - we T500 #2 - parametr C",
    "21 - zarezerwowane",
    "68 - wartość stałej użytkownika #1",
    "69 - wartość stałej użytkownika #2",
    "70 - wartość stałej użytkownika #3",
    "71 - wartość stałej użytkownika #4",
    "81 - wyjście CV regulatora #1 (norm)",
    "82 - wyjście CV regulatora #2 (norm)",
    "83 - wyjście CV regulatora #3 (norm)",
    "84 - wyjście CV regulatora #4 (norm)",
    "101 - wy analogowe #1 (norm)",
    "102 - wy analogowe #2 (norm)",
    "103 - wy multipleksera #3 (norm)",
    "104 - wy multipleksera #4 (norm)",
    nullptr,
};

int SourceListCount(const char* const list[]) {
    int count = 0;
    while (list && list[count]) ++count;
    return count;
}

std::vector<wxString> SourceListItems(const char* const list[]) {
    std::vector<wxString> items;
    for (int i = 0; list && list[i]; ++i) items.push_back(wxString::FromUTF8(list[i]));
    return items;
}

wxString ProcessVariableName(int code) {
    int row = FindNumberIndex(code, DisplaySourceList);
    if (row <= 0) return wxString::FromUTF8("0 - zero");
    return wxString::FromUTF8(DisplaySourceList[row]);
}
