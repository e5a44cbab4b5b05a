#include "records/DogEditorLayout.h"

namespace lineara {

namespace {

using K = EditorControl::Kind;

EditorControl Text(const char* name, const char* caption, Field field, const char* tip = nullptr) {
    return {K::Text, name, caption, field, tip};
}
EditorControl Memo(const char* name, const char* caption, Field field, const char* tip = nullptr) {
    return {K::Memo, name, caption, field, tip};
}
EditorControl Check(const char* name, const char* caption, Field field) {
    return {K::Check, name, caption, field, nullptr};
}
EditorControl Heading(const char* name, const char* caption) { return {K::Heading, name, caption, {}, nullptr}; }
EditorControl Note(const char* name, const char* caption) { return {K::Note, name, caption, {}, nullptr}; }

}  // namespace

const std::vector<EditorTab>& DogEditorTabs() {
    static const std::vector<EditorTab> tabs{
        {"General",
         {
             Text("RegNameTextBox", "Reg'd Name", Field::RegName),
             Text("CallNameTextBox", "Call Name", Field::CallName),
             Text("DOBTextBox", "Date of Birth", Field::DOB),
             Check("MaleCheck", "Male", Field::SexMale),
             // FemaleCheck is not bound: it always shows the opposite of MaleCheck.
             {K::Check, "FemaleCheck", "Female", std::nullopt, nullptr},
             Check("Check1", "Altered", Field::Altered),
             Text("Text3", "Description", Field::Description),
             Text("Text7", "Tattoo", Field::TattooID),
             Text("Text8", "Microchip", Field::MicrochipID),
             Text("Text6", "CKC ID", Field::CKCID),
             Text("Text9", "AKC ID", Field::AKCID),
             Text("Text10", "Other ID", Field::OtherID),
             Text("Text15", "Certifications", Field::Certifications),
             Memo("Text14", "Print Notes", Field::PrintNotes,
                  "These notes can be printed on the lineara printout"),
         }},
        {"Conformation",
         {
             Check("AmChCheck", "Conformation Champion - American (Am Ch)", Field::AmCh),
             Check("CanChCheck", "Conformation Champion - Canadian (Can Ch)", Field::CanCh),
             Text("Text11", "Other Conformation Champion (enter country codes)", Field::OtherCh),
             Note("Label11", "e.g. Int/Bda/Jap"),
             Check("BISCheck", "Best in Show (BIS)", Field::BIS),
             Check("BISSCheck", "Best in Specialty Show (BISS)", Field::BISS),
             Check("PBISCheck", "Best Puppy in Show (BPIS)", Field::BPIS),
             Check("BPISSCheck", "Best Puppy in Specialty Show (BPISS)", Field::BPISS),
             Check("ROMCheck", "Register of Merit - American (ROM)", Field::ROM),
             Check("ROMCCheck", "Register of Merit - Canadian (ROMC)", Field::ROMC),
         }},
        {"Obedience",
         {
             Check("HITCheck", "High in Trial (HIT)", Field::HIT),
             Check("AmCDCheck", "Companion Dog - American (Am CD)", Field::AmCD),
             Check("AmCDXCheck", "Companion Dog Excellent - American (Am CDX)", Field::AmCDX),
             Check("AmUDCheck", "Utility Dog - American (Am UD)", Field::AmUD),
             Check("AmUDXCheck", "Utility Dog Excellent (Am UDX)", Field::AmUDX),
             Check("AmOTChCheck", "Obedience Trial Champion - American (Am OTCh)", Field::AmOTCh),
             Check("CanCDCheck", "Companion Dog - Canadian (Can CD)", Field::CanCD),
             Check("CanCDXCheck", "Companion Dog Excellent - Canadian (Can CDX)", Field::CanCDX),
             Check("CanOTChCheck", "Obedience Trial Champion - Canadian (Can OTCh)", Field::CanOTCh),
         }},
        {"Flyball",
         {
             Heading("FlyballFrame", "NAFA Titles"),
             Check("FDCheck", "Flyball Dog (FD)", Field::FD),
             Check("FDXCheck", "Flyball Dog Excellent (FDX)", Field::FDX),
             Check("FDChCheck", "Flyball Dog Champion (FDCh)", Field::FDCh),
         }},
        {"Herding",
         {
             Heading("HerdingAKCFrame", "AKC Titles"),
             Check("HTCheck", "Herding Tested (HT)", Field::HT),
             Check("PTCheck", "Pre-Trial Tested (PT)", Field::PT),
             Check("HSCheck", "Herding Started (HS)", Field::HS),
             Check("HICheck", "Herding Intermediate (HI)", Field::HI),
             Check("HXCheck", "Herding Excellent (HX)", Field::HX),
             Check("HChCheck", "Herding Champion (HCh)", Field::HCh),
             Heading("HerdingCKCFrame", "CKC Titles"),
             Check("HCCheck", "Herding Certificate (HC)", Field::HC),
             Heading("HerdingABHAFrame", "ABHA Titles"),
             Check("JHDCheck", "Junior Herding Dog Test (JHD)", Field::JHD),
             Check("HTDCheck", "Herding Trial Dog (HTD)", Field::HTD),
             Check("HRDCheck", "Herding Ranch Dog (HRD)", Field::HRD),
             Check("HTChCheck", "Herding Trial Champion (HTCh)", Field::HTCh),
             Check("HCTCheck", " Herding Capability Test (HCT)", Field::HCT),
         }},
        {"Agility",
         {
             Heading("AgilityAKCFrame", "AKC Titles"),
             Check("NACheck", "Novice Agility (NA)", Field::NA),
             Check("OACheck", "Open Agility (OA)", Field::OA),
             Check("AXCheck", "Agility (AX)", Field::AX),
             Heading("AgilityAACFrame", "AAC Titles"),
             Check("ADCCheck", "Agility Dog of Canada (ADC)", Field::ADC),
             Check("AADCCheck", "Advanced Agility Dog (AADC)", Field::AADC),
             Check("MADCCheck", "Master Agility Dog (MADC)", Field::MADC),
             Heading("AgilityUKCFrame", "UKC Titles"),
             Check("UAgICheck", "Agility Level I (U-AgI)", Field::UAgI),
             Check("UAgIICheck", "Agility Level II (U-AgII)", Field::UAgII),
             Check("UAgIIICheck", "Agility Level III (U-AgIII)", Field::UAgIII),
             Check("UAChCheck", "Agility Champion (U-ACh)", Field::UACh),
             Heading("AgilityUSDAAFrame", "USDAA Titles"),
             Check("ADCheck", "Agility Dog (AD)", Field::AD),
             Check("VADCheck", "Veteran's Agility Dog (VAD)", Field::VAD),
             Check("MADCheck", "Master Agility Dog (MAD)", Field::MAD),
             Check("ADChCheck", "Agility Dog Champion (ADCh)", Field::ADCh),
             Check("SMCheck", "Snooker Master (SM)", Field::SM),
             Check("GMCheck", "Gambler Master (GM)", Field::GM),
             Check("PMCheck", "Pairs Master (PM)", Field::PM),
             Check("JMCheck", "Jumpers Master (JM)", Field::JM),
         }},
        {"Other",
         {
             Memo("Text4", "Comments", Field::Comments),
             Check("Check3", "Force Champion Formating (prints and displays like a champion)", Field::ForceCh),
             Check("TDICheck", "Therapy Dog International (TDI)", Field::TDI),
             Check("AmCHCCheck", "Canine Good Citizen - American (Am CGC)", Field::AmCGC),
             Check("CanCGCCheck", "Canine Good Citizen - Canadian (Can CGC)", Field::CanCGC),
             Heading("OtherTitlesFrame", "Other Titles"),
             Text("Text12", "Other Pre-Name Titles", Field::OtherPreTitles),
             Text("Text13", "Other Post-Name Titles", Field::OtherPostTitles),
         }},
    };
    return tabs;
}

}  // namespace lineara
