#pragma once
// The object model's numeric constants that the add-in and the store use.

namespace outlook {

enum OlItemType { olMailItem = 0, olAppointmentItem = 1, olPostItem = 6 };
enum OlObjectClass { olAppointment = 26, olContact = 40, olJournal = 42, olMail = 43, olNote = 44, olTask = 48 };
enum OlUserPropertyType { olText = 1, olNumber = 3, olDateTime = 5, olYesNo = 6 };
enum OlDefaultFolders { olFolderCalendar = 9 };
enum OlSensitivity { olNormal = 0, olPersonal = 1, olPrivate = 2, olConfidential = 3 };
enum OlRecurrenceType {
  olRecursDaily = 0,
  olRecursWeekly = 1,
  olRecursMonthly = 2,
  olRecursMonthNth = 3,
  olRecursYearly = 5,
  olRecursYearNth = 6
};
enum OlRecurrenceState { olApptNotRecurring = 0, olApptMaster = 1 };
enum OlDaysOfWeek {
  olSunday = 1,
  olMonday = 2,
  olTuesday = 4,
  olWednesday = 8,
  olThursday = 16,
  olFriday = 32,
  olSaturday = 64
};
enum OlBusyStatus { olFree = 0, olTentative = 1, olBusy = 2, olOutOfOffice = 3 };
enum OlMeetingStatus {
  olNonMeeting = 0,
  olMeeting = 1,
  olMeetingReceived = 3,
  olMeetingCanceled = 5,
  olMeetingReceivedAndCanceled = 7
};
enum OlImportance { olImportanceLow = 0, olImportanceNormal = 1, olImportanceHigh = 2 };

// The item class for a message class ("IPM.Appointment" and its custom forms are 26).
int ObjectClassOf(const char* messageClass);

}  // namespace outlook
